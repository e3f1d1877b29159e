#include "ui/common/browser_open.h"

#include <QDesktopServices>

#include "core/text/messages.h"
#include "ui/common/message_box.h"

namespace zepa2::ui {

UrlOpener DesktopUrlOpener() { return &QDesktopServices::openUrl; }

void OpenInBrowser(QWidget* parent, const QUrl& url, const UrlOpener& opener) {
  if (opener && opener(url)) return;
  ShowMessage(parent, QString::fromUtf8(msg::kBrowserNotStarted).arg(url.toDisplayString()),
              MessageButtons::Ok, MessageIcon::Exclamation);
}

}  // namespace zepa2::ui
