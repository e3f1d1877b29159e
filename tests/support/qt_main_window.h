// Helpers for tests of the main window: its log as text, and settings for the router test server.
#pragma once

#include <QStringList>
#include <string>

#include "core/settings/app_settings.h"

namespace zepa2::ui {
class MainDialog;
}

namespace zepa2::test {

// The log lines without their time stamps, oldest first.
QStringList LogTexts(const ui::MainDialog& dialog);
// The lines logged after the first `from` ones.
QStringList LogTextsFrom(const ui::MainDialog& dialog, int from);
int LogCount(const ui::MainDialog& dialog);

// Points the settings at router_server.py's status page (address 10.0.0.1) with markers that
// find it.
void UseRouterServer(AppSettings& settings, const std::string& hostPort);

// The four lines of a router fetch that found its address, behind the server text.
QStringList FetchAndFindLines(const std::string& hostPort);

}  // namespace zepa2::test
