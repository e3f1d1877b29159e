#include "ui/main/popup_menus.h"

#include <QMenu>

#include "core/text/messages.h"
#include "core/text/notify_messages.h"

namespace zepa2::ui {
namespace {

void AddItem(QMenu* menu, const char* name, const char* text, const std::function<void()>& run) {
  QAction* action = menu->addAction(QString::fromUtf8(text));
  action->setObjectName(QLatin1String(name));
  QObject::connect(action, &QAction::triggered, menu, [run] { run(); });
}

}  // namespace

QMenu* BuildPopupMenu(QWidget* parent, PopupKind kind, const PopupCommands& commands) {
  auto* menu = new QMenu(parent);
  const bool onWindow = kind == PopupKind::Window;
  menu->setObjectName(onWindow ? QStringLiteral("windowMenu") : QStringLiteral("trayMenu"));
  AddItem(menu, onWindow ? "minimizeAction" : "restoreAction",
          onWindow ? msg::kMenuMinimize : msg::kMenuRestore, commands.minimizeOrRestore);
  AddItem(menu, "runNowAction", msg::kMenuRunNow, commands.runNow);
  // The DNS targets have no button of their own on the window: their settings open from here.
  if (commands.dnsSettings)
    AddItem(menu, "dnsSettingsAction", msg::kDnsSettingsCaption, commands.dnsSettings);
  if (commands.notifySettings)
    AddItem(menu, "notifySettingsAction", msg::kNotifySettingsCaption, commands.notifySettings);
  menu->addSeparator();
  AddItem(menu, "exitAction", msg::kMenuExit, commands.exit);
  menu->addSeparator();
  AddItem(menu, "aboutAction", msg::kAboutMenuItem, commands.about);
  return menu;
}

}  // namespace zepa2::ui
