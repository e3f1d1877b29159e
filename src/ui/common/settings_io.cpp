#include "ui/common/settings_io.h"

#include <QString>

#include "core/settings/settings_store.h"
#include "core/text/messages.h"
#include "ui/common/message_box.h"

namespace zepa2::ui {
namespace {

BadPasswordByteNotice BadPasswordBox(QWidget* parent) {
  return [parent] {
    ShowMessage(parent, QString::fromUtf8(msg::kBadPasswordChar), MessageButtons::Ok,
                MessageIcon::Exclamation);
  };
}

}  // namespace

void LoadAppSettings(QWidget* parent, AppSettings& settings) {
  LoadSettings(settings, SettingsFilePath(), BadPasswordBox(parent));
}

bool SaveAppSettings(QWidget* parent, const AppSettings& settings) {
  const SaveResult result = SaveSettings(settings, SettingsFilePath(), BadPasswordBox(parent));
  if (!result.ok) {
    ShowMessage(parent, QString::fromUtf8(msg::kSettingsSaveFailed).arg(QString::fromUtf8(result.error)),
                MessageButtons::Ok, MessageIcon::Exclamation);
  }
  return result.ok;
}

}  // namespace zepa2::ui
