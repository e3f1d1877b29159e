// Start-up of the program: display check, single instance, command line, settings, main window.
#include <QApplication>
#include <cstdio>
#include <string>
#include <vector>

#include "core/startup/secret_keeping.h"
#include "core/settings/app_settings.h"
#include "core/startup/command_line.h"
#include "core/startup/display.h"
#include "core/startup/instance_lock.h"
#include "core/text/messages.h"
#include "ui/common/message_box.h"
#include "ui/common/qt_translation.h"
#include "ui/common/settings_io.h"
#include "ui/main/main_dialog.h"
#include "ui/main/splash_window.h"

namespace {

std::vector<std::string> Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv + (argc > 0 ? 1 : 0), argv + argc);
}

}  // namespace

int main(int argc, char** argv) {
  zepa2::KeepSecretsInProcess();
  // Without a display Qt aborts with a core dump; say what is missing instead.
  if (!zepa2::DisplayConfigured()) {
    std::fprintf(stderr, "%s\n", zepa2::msg::kNoDisplay);
    return 2;
  }
  // Read before QApplication, which removes the arguments it knows from argv.
  const bool splashAllowed = zepa2::SplashAllowedByCommandLine(Arguments(argc, argv));
  QApplication app(argc, argv);
  QApplication::setApplicationName(QString::fromUtf8(zepa2::msg::kProductName));
  // The program is Japanese whatever the locale; Qt's own buttons and menus follow it.
  if (!zepa2::ui::LoadQtJapanese(app)) std::fprintf(stderr, "%s\n", zepa2::msg::kQtJapaneseMissing);

  zepa2::InstanceLock lock;
  switch (lock.Acquire(zepa2::InstanceLockPath())) {
    case zepa2::InstanceLockResult::Acquired:
      break;
    case zepa2::InstanceLockResult::HeldByAnother:
      zepa2::ui::ShowMessage(nullptr, QString::fromUtf8(zepa2::msg::kAlreadyRunning),
                             zepa2::ui::MessageButtons::Ok, zepa2::ui::MessageIcon::Exclamation);
      return 0;
    case zepa2::InstanceLockResult::CannotOpen:
      // A lock we cannot make must not keep the user from the program.
      std::fprintf(stderr, "%s\n", zepa2::msg::kLockUnavailable);
      break;
  }

  zepa2::ui::AllowSplash(splashAllowed);
  zepa2::AppSettings settings;
  zepa2::ui::LoadAppSettings(nullptr, settings);
  zepa2::ui::MainDialog dialog(settings);
  // Not exec(): hiding a dialog into the tray would end its modal loop, and with it the program.
  // The program ends when the window finishes through its quit commands.
  QApplication::setQuitOnLastWindowClosed(false);
  QObject::connect(&dialog, &QDialog::finished, &app, &QCoreApplication::quit);
  dialog.show();
  app.exec();
  return 0;
}
