// Opens an address in the desktop's web browser, and says so when there is none to open it.
#pragma once

#include <QUrl>
#include <functional>

class QWidget;

namespace zepa2::ui {

// Opens the address in a browser; false when none could be started.
using UrlOpener = std::function<bool(const QUrl&)>;

// The desktop's own opener.
UrlOpener DesktopUrlOpener();

// Hands url to opener; when it fails, a box over parent gives the address to open by hand.
void OpenInBrowser(QWidget* parent, const QUrl& url, const UrlOpener& opener);

}  // namespace zepa2::ui
