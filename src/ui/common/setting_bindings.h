// Binds a dialog's controls to the fields of a record they show: one row per control. The control is
// the truth while the dialog is open; opening shows each field, and "設定" stores each control. The
// record is the settings, or one of their parts (a site) when the same controls show each in turn.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <cstddef>
#include <deque>
#include <initializer_list>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "core/settings/app_settings.h"
#include "ui/common/cp932_text.h"
#include "ui/common/server_key_prompt.h"

namespace zepa2::ui {

template <typename Record>
class FieldBindings {
 public:
  // One control (or a few) and the field it shows. A row whose field applies only under other
  // values names them once with EnabledWhen: its controls, and the buttons that act on its field,
  // are on exactly while the record as the controls hold it says so.
  struct BoundRow {
    std::function<void(const Record&)> show;
    std::function<void(Record&)> store;
    std::function<void(bool on, const Record&)> enable;
    std::function<bool(const Record&)> applies{};
    std::vector<QWidget*> buttons{};

    BoundRow& EnabledWhen(std::function<bool(const Record&)> when,
                          std::initializer_list<QWidget*> acting = {}) {
      applies = std::move(when);
      buttons.assign(acting.begin(), acting.end());
      return *this;
    }
  };

  // An edit of a CP932 text field; its bytes come back unchanged unless the user edits them.
  BoundRow& Text(Cp932Edit& edit, std::string Record::*field) {
    return Row([&edit, field](const Record& s) { edit.Set(s.*field); },
               [&edit, field](Record& s) { s.*field = edit.Get(); }, {edit.widget()});
  }
  BoundRow& Flag(QCheckBox* box, bool Record::*field) {
    return Row([box, field](const Record& s) { box->setChecked(s.*field); },
               [box, field](Record& s) { s.*field = box->isChecked(); }, {box});
  }
  // A drop-down whose item index is the enum's value.
  template <typename Enum>
  BoundRow& Choice(QComboBox* combo, Enum Record::*field) {
    return Row(
        [combo, field](const Record& s) { combo->setCurrentIndex(static_cast<int>(s.*field)); },
        [combo, field](Record& s) { s.*field = static_cast<Enum>(std::max(0, combo->currentIndex())); },
        {combo});
  }
  // The same for a choice the file may hold unusable: then no item is shown, and the value stays
  // as it was until an item is picked.
  template <typename Enum>
  BoundRow& Choice(QComboBox* combo, Enum Record::*field, UnusableValue Record::*unknown) {
    return Row(
        [combo, field, unknown](const Record& s) {
          combo->setCurrentIndex((s.*unknown) ? -1 : static_cast<int>(s.*field));
        },
        [combo, field, unknown](Record& s) {
          if (combo->currentIndex() < 0) return;
          s.*field = static_cast<Enum>(combo->currentIndex());
          (s.*unknown).reset();
        },
        {combo});
  }
  // A read-only pin field, with the button that forgets the pin (off without one). A pin the file
  // could not read shows as it was spelled and stays so until it is changed.
  BoundRow& Pin(QLineEdit* edit, QPushButton* forget, std::string Record::*field,
                UnusableValue Record::*unreadable) {
    BoundRow& row = Row([edit, forget, field](const Record& s) { ShowPin(edit, forget, s.*field); },
                        [edit, field, unreadable](Record& s) {
                          s.*field = PinShown(edit);
                          if (s.*unreadable != s.*field) (s.*unreadable).reset();
                        },
                        {edit});
    row.enable = [edit, forget, field](bool on, const Record& s) {
      edit->setEnabled(on);
      forget->setEnabled(on && !(s.*field).empty());
    };
    return row;
  }
  // A control that shows its field some other way (two fields in one edit, a mode it may not know).
  BoundRow& Row(std::function<void(const Record&)> show, std::function<void(Record&)> store,
                std::vector<QWidget*> controls = {}) {
    auto enable = [controls = std::move(controls)](bool on, const Record&) {
      for (QWidget* control : controls) control->setEnabled(on);
    };
    rows_.push_back({std::move(show), std::move(store), std::move(enable)});
    return rows_.back();
  }

  void Show(const Record& record) const {
    for (const BoundRow& row : rows_) row.show(record);
  }
  void Store(Record& record) const {
    for (const BoundRow& row : rows_) row.store(record);
  }
  // Turns each row with an EnabledWhen on or off by what record says now.
  void Enable(const Record& record) const {
    for (const BoundRow& row : rows_) {
      if (!row.applies) continue;
      const bool on = row.applies(record);
      row.enable(on, record);
      for (QWidget* button : row.buttons) button->setEnabled(on);
    }
  }

 private:
  std::deque<BoundRow> rows_;  // a deque: the row a call returns stays where it is as more come
};

using SettingBindings = FieldBindings<AppSettings>;

// Several records of one kind shown by the same controls, one at a time (the five sites, the five
// DNS targets). The controls hold the shown record; the others wait with their edits in a working
// copy, which also keeps the shown one as it was when it was last shown or taken.
template <typename Record, std::size_t N>
class RecordsOnShow {
 public:
  FieldBindings<Record>& bindings() { return bindings_; }

  void Open(const std::array<Record, N>& records) {
    records_ = records;
    shown_ = 0;
    bindings_.Show(records_[0]);
  }
  // Keeps the shown record's edits and shows record index instead.
  void ShowRecord(int index) {
    TakeShown();
    shown_ = static_cast<std::size_t>(index);
    bindings_.Show(records_[shown_]);
  }
  int shownIndex() const { return static_cast<int>(shown_); }
  // The shown record as its controls hold it now.
  Record Shown() const {
    Record record = records_[shown_];
    bindings_.Store(record);
    return record;
  }
  // The shown record as it was last taken, then with the controls' values taken into it.
  Record& TakeShown() {
    bindings_.Store(records_[shown_]);
    return records_[shown_];
  }
  const Record& LastTaken() const { return records_[shown_]; }
  std::array<Record, N> All() const {
    std::array<Record, N> all = records_;
    bindings_.Store(all[shown_]);
    return all;
  }

 private:
  FieldBindings<Record> bindings_;
  std::array<Record, N> records_{};
  std::size_t shown_ = 0;
};

}  // namespace zepa2::ui
