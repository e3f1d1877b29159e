// The two pop-up menus: one on a right click on the main window, one on the tray icon.
#pragma once

#include <functional>

class QMenu;
class QWidget;

namespace zepa2::ui {

enum class PopupKind {
  Window,  // "最小化" first
  Tray,    // "最大化" first
};

struct PopupCommands {
  std::function<void()> minimizeOrRestore;
  std::function<void()> runNow;
  std::function<void()> exit;
  std::function<void()> about;
  std::function<void()> dnsSettings{};     // the window's menu only: "DNS設定" after "すぐに実行"
  std::function<void()> notifySettings{};  // the window's menu only: "通知設定" after "DNS設定"
};

// The menu, owned by parent: the window item, "すぐに実行", separator, "終了", separator, and the
// version item (window managers give a program no system menu of its own to put it in).
QMenu* BuildPopupMenu(QWidget* parent, PopupKind kind, const PopupCommands& commands);

}  // namespace zepa2::ui
