#include "ui/main/main_dialog_controls.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/text/messages.h"
#include "ui/common/dialog_units.h"
#include "ui/main/activity_log.h"
#include "ui/main/main_fonts.h"
#include "ui/main/unit_button.h"

namespace zepa2::ui {
namespace {

// Pixels per dialog unit for the 12-pixel Japanese gothic the window uses: an eighth of its line
// height down; across, a little over a quarter of its average width, because its full-width
// letters are wider than the proportional face the layout was drawn for and captions must fit.
const DialogUnits kUnits(8.0 / 4.0, 15.0 / 8.0);

QRect DluRect(int x, int y, int width, int height) { return kUnits.Rect(x, y, width, height); }

QString Text(const char* utf8) { return QString::fromUtf8(utf8); }

template <typename Widget>
Widget* Place(Widget* widget, const char* name, QRect rect) {
  widget->setObjectName(QLatin1String(name));
  widget->setGeometry(rect);
  return widget;
}

QPushButton* Button(QDialog* d, const char* name, const char* caption, QRect rect) {
  return Place(new QPushButton(Text(caption), d), name, rect);
}

QCheckBox* Check(QDialog* d, const char* name, const char* caption, QRect rect) {
  return Place(new QCheckBox(Text(caption), d), name, rect);
}

QLabel* Label(QDialog* d, const char* name, const char* caption, QRect rect,
              Qt::Alignment align = Qt::AlignLeft | Qt::AlignTop) {
  QLabel* label = Place(new QLabel(Text(caption), d), name, rect);
  label->setAlignment(align);
  return label;
}

}  // namespace

MainDialogControls BuildMainDialogControls(QDialog* d) {
  namespace m = msg;
  MainDialogControls c;
  d->setFixedSize(kUnits.Size(374, 309));
  d->setFont(DialogFont());

  c.getZepaButton = Button(d, "getZepaButton", m::kGetZepaCaption, DluRect(281, 252, 78, 19));
  c.getZepaButton->setDefault(true);
  c.getZepaButton->setFont(AddressFont());
  c.startMinimizedCheck =
      Check(d, "startMinimizedCheck", m::kStartMinimizedCaption, DluRect(277, 17, 67, 10));
  c.runAtStartCheck = Check(d, "runAtStartCheck", m::kRunAtStartCaption, DluRect(277, 28, 60, 10));
  c.localAddressCheck = Check(d, "localAddressCheck", m::kLocalAddressCaption, DluRect(277, 39, 83, 10));
  c.decimalAddressCheck =
      Check(d, "decimalAddressCheck", m::kDecimalAddressCaption, DluRect(277, 50, 54, 10));
  c.intervalEdit = Place(new QLineEdit(d), "intervalEdit", DluRect(286, 75, 51, 14));
  c.unitButton = Place(new UnitButton(Text(m::kUnitCaption), d), "unitButton", DluRect(339, 75, 12, 14));
  c.applyButton = Button(d, "applyButton", m::kApplyCaption, DluRect(295, 96, 54, 14));
  c.addressEdit = Place(new QLineEdit(d), "addressEdit", DluRect(272, 133, 94, 14));
  c.addressEdit->setReadOnly(true);
  c.addressEdit->setAlignment(Qt::AlignCenter);
  c.addressEdit->setFont(AddressFont());
  c.ipv6AddressEdit = Place(new QLineEdit(d), "ipv6AddressEdit", DluRect(268, 147, 102, 10));
  c.ipv6AddressEdit->setReadOnly(true);
  c.ipv6AddressEdit->setFrame(false);
  c.ipv6AddressEdit->setAlignment(Qt::AlignCenter);
  c.ipv6AddressEdit->hide();
  c.routerSettingsButton =
      Button(d, "routerSettingsButton", m::kRouterSettingsCaption, DluRect(294, 157, 54, 14));
  c.ftpSettingsButton = Button(d, "ftpSettingsButton", m::kFtpSettingsCaption, DluRect(294, 177, 54, 14));
  c.pageSettingsButton = Button(d, "pageSettingsButton", m::kPageSettingsCaption, DluRect(294, 197, 54, 14));
  c.pageSettingsButton->hide();
  c.pageSettingsButton->setEnabled(false);
  c.clearLogButton = Button(d, "clearLogButton", m::kClearLogCaption, DluRect(6, 284, 50, 14));
  c.browserButton = Button(d, "browserButton", m::kBrowserCaption, DluRect(214, 284, 54, 14));
  c.quitButton = Button(d, "quitButton", m::kQuitCaption, DluRect(294, 284, 54, 14));
  c.logList = Place(new ActivityLog(d), "logList", DluRect(7, 22, 263, 255));
  c.titleLabel =
      Label(d, "titleLabel", m::kProductName, DluRect(7, 7, 178, 12), Qt::AlignLeft | Qt::AlignVCenter);
  c.titleLabel->setFont(TitleFont());
  Label(d, "intervalCaption", m::kIntervalCaption, DluRect(289, 64, 31, 8));
  Label(d, "addressCaption", m::kAddressCaption, DluRect(291, 120, 56, 8));
  c.versionLabel = Label(d, "versionLabel", "", DluRect(187, 11, 39, 8), Qt::AlignLeft | Qt::AlignVCenter);
  c.countdownLabel = Label(d, "countdownLabel", "", DluRect(275, 2, 91, 12), Qt::AlignCenter);
  c.conversionTestButton =
      Button(d, "conversionTestButton", m::kConversionTestCaption, DluRect(294, 220, 54, 14));
  // Added in the free stretch of the bottom row, so every earlier control keeps its place.
  Label(d, "notifyCaption", m::kNotifyCaption, DluRect(62, 287, 22, 8));
  c.notifyCombo = Place(new QComboBox(d), "notifyCombo", DluRect(86, 284, 70, 14));
  c.notifyCombo->addItems({Text(m::kNotifyNone), Text(m::kNotifyFailures), Text(m::kNotifyEvery)});
  // The rest of that stretch, between the notice choice and "ブラウザで確認".
  c.eventsCheck = Check(d, "eventsCheck", m::kEventsCaption, DluRect(160, 286, 52, 10));
  return c;
}

}  // namespace zepa2::ui
