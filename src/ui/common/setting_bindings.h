// Binds a dialog's controls to the settings fields they show: one row per control. The control is
// the truth while the dialog is open; opening shows each field, and "設定" stores each control.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <algorithm>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"

namespace zepa2::ui {

class SettingBindings {
 public:
  // An edit of a CP932 text field; its bytes come back unchanged unless the user edits them.
  void Text(Cp932Edit& edit, std::string AppSettings::*field) {
    Row([&edit, field](const AppSettings& s) { edit.Set(s.*field); },
        [&edit, field](AppSettings& s) { s.*field = edit.Get(); });
  }
  void Flag(QCheckBox* box, bool AppSettings::*field) {
    Row([box, field](const AppSettings& s) { box->setChecked(s.*field); },
        [box, field](AppSettings& s) { s.*field = box->isChecked(); });
  }
  // A drop-down whose item index is the enum's value.
  template <typename Enum>
  void Choice(QComboBox* combo, Enum AppSettings::*field) {
    Row([combo, field](const AppSettings& s) { combo->setCurrentIndex(static_cast<int>(s.*field)); },
        [combo, field](AppSettings& s) { s.*field = static_cast<Enum>(std::max(0, combo->currentIndex())); });
  }
  // A control that shows its field some other way (two fields in one edit, a read-only pin).
  void Row(std::function<void(const AppSettings&)> show, std::function<void(AppSettings&)> store) {
    rows_.push_back({std::move(show), std::move(store)});
  }

  void Show(const AppSettings& settings) const {
    for (const BoundRow& row : rows_) row.show(settings);
  }
  void Store(AppSettings& settings) const {
    for (const BoundRow& row : rows_) row.store(settings);
  }

 private:
  struct BoundRow {
    std::function<void(const AppSettings&)> show;
    std::function<void(AppSettings&)> store;
  };
  std::vector<BoundRow> rows_;
};

}  // namespace zepa2::ui
