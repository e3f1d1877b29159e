#include "ui/settings/dns_settings_dialog.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <bit>
#include <ctime>
#include <vector>

#include "core/run/check_host.h"
#include "core/targets/dns_run.h"
#include "core/settings/setting_rules.h"
#include "core/source/ipv6_address.h"
#include "core/text/messages.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/dialog_units.h"
#include "ui/common/message_box.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"
#include "ui/common/settings_io.h"

namespace zepa2::ui {
namespace {

// The kind's rows, in dialog units: the first one's top and the step to the next. The buttons come
// under the most rows any kind uses.
constexpr int kFirstRowY = 27;
constexpr int kRowStep = 18;

int ButtonsY() {
  int most = 0;
  for (const DnsKindRow& row : DnsKinds()) most = std::max(most, std::popcount(row.fields));
  return kFirstRowY + most * kRowStep + 5;
}

// The test's lines, gathered on the worker to be shown as its answer once it is done.
class TestLineHost : public CheckHost {
 public:
  void AppendLog(const std::string& text, LogColor) override { (lines += text) += "\n"; }
  void Pause(std::chrono::milliseconds) override {}
  void SetBusy(bool) override {}
  bool ShowGeneratedPage(const std::filesystem::path&) override { return false; }
  std::time_t Now() override { return std::time(nullptr); }

  std::string lines;  // CP932
};

// Each value of a target and the name its controls carry ("urlLabel", "urlEdit", "pinForgetButton").
constexpr struct {
  const char* name;
  DnsField field;
} kFieldRows[] = {
    {"url", kDnsFieldUrl},         {"user", kDnsFieldUser}, {"algorithm", kDnsFieldAlgorithm},
    {"pass", kDnsFieldPass},       {"host", kDnsFieldHost}, {"zone", kDnsFieldZone},
    {"records", kDnsFieldRecords}, {"ttl", kDnsFieldTtl},   {"suffix", kDnsFieldSuffix},
    {"match", kDnsFieldMatch},     {"api", kDnsFieldApi},   {"pin", kDnsFieldPin},
};

DnsKind ChosenKind(const QComboBox* combo) {
  return DnsKindOfSetting(combo->currentIndex()).value_or(DnsKind::None);
}

}  // namespace

DnsSettingsDialog::DnsSettingsDialog(AppSettings& settings, std::string address, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings),
      address_(std::move(address)) {
  BuildControls();
  BindShownTarget();
  targets_.Open(settings.dnsTargets);
}

void DnsSettingsDialog::BuildControls() {
  setObjectName(QStringLiteral("dnsSettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kDnsSettingsCaption));
  const DialogUnits du(font());
  const int buttonsY = ButtonsY();
  setFixedSize(du.Size(300, buttonsY + 20));

  AddControl<QLabel>(this, du, "targetLabel", msg::kDnsTargetLabel, 7, 9, 40, 8);
  targetCombo_ = AddControl<QComboBox>(this, du, "targetCombo", nullptr, 50, 7, 60, 12);
  for (int n = 1; n <= kDnsSlots; ++n)
    targetCombo_->addItem(QString::fromUtf8(msg::kDnsTarget) + QString::number(n));
  AddControl<QLabel>(this, du, "kindLabel", msg::kDnsKindLabel, 120, 9, 28, 8);
  kindCombo_ = AddControl<QComboBox>(this, du, "kindCombo", nullptr, 150, 7, 80, 12);
  // In the order of the file's numbers: the index is the kind.
  for (const DnsKindRow& row : DnsKinds()) kindCombo_->addItem(QString::fromUtf8(row.caption));

  const auto row = [&](const char* name, const char* caption, int y, int width) {
    AddControl<QLabel>(this, du, (std::string(name) + "Label").c_str(), caption, 7, y + 2, 50, 8);
    return AddControl<QLineEdit>(this, du, (std::string(name) + "Edit").c_str(), nullptr, 60, y, width, 12);
  };
  urlEdit_ = Cp932Edit(row("url", msg::kDnsUrlLabel, 27, 230));
  userEdit_ = Cp932Edit(row("user", msg::kDnsUserLabel, 45, 110));
  QLineEdit* pass = row("pass", msg::kDnsPassLabel, 63, 110);
  pass->setEchoMode(QLineEdit::Password);
  passEdit_ = Cp932Edit(pass);
  hostEdit_ = Cp932Edit(row("host", msg::kDnsHostLabel, 81, 230));
  zoneEdit_ = Cp932Edit(row("zone", msg::kDnsZoneLabel, 99, 110));
  AddControl<QLabel>(this, du, "recordsLabel", msg::kDnsRecordsLabel, 7, 119, 50, 8);
  recordsCombo_ = AddControl<QComboBox>(this, du, "recordsCombo", nullptr, 60, 117, 80, 12);
  for (const char* records : {msg::kDnsRecordsA, msg::kDnsRecordsAaaa, msg::kDnsRecordsBoth})
    recordsCombo_->addItem(QString::fromUtf8(records));
  suffixEdit_ = Cp932Edit(row("suffix", msg::kDnsSuffixLabel, 135, 182));
  suffixEdit_.widget()->setPlaceholderText(QStringLiteral("::1234:5678:9abc:def0"));
  matchEdit_ = Cp932Edit(row("match", msg::kDnsMatchLabel, 135, 230));
  apiEdit_ = Cp932Edit(row("api", msg::kDnsApiLabel, 153, 230));
  // Their rows' places are given by ShowFieldsOfKind; the empty values' meaning shows in grey.
  QLineEdit* algorithm = row("algorithm", msg::kDnsAlgorithmLabel, 27, 110);
  algorithm->setPlaceholderText(QStringLiteral("hmac-sha256"));
  algorithmEdit_ = Cp932Edit(algorithm);
  QLineEdit* ttl = row("ttl", msg::kDnsTtlLabel, 27, 50);
  ttl->setPlaceholderText(QStringLiteral("300"));
  ttlEdit_ = Cp932Edit(ttl);
  pinEdit_ = row("pin", msg::kPinLabel, 171, 182);
  pinEdit_->setReadOnly(true);
  forgetPinButton_ = AddControl<QPushButton>(this, du, "pinForgetButton", msg::kForgetPin, 246, 170, 44, 14);
  urlLabel_ = findChild<QLabel*>(QStringLiteral("urlLabel"));
  passLabel_ = findChild<QLabel*>(QStringLiteral("passLabel"));
  userLabel_ = findChild<QLabel*>(QStringLiteral("userLabel"));

  auto* test = AddControl<QPushButton>(this, du, "testButton", msg::kDnsTestButton, 7, buttonsY, 60, 14);
  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kRouterSettingsOk, 180, buttonsY, 52, 14);
  auto* cancel =
      AddControl<QPushButton>(this, du, "cancelButton", msg::kRouterSettingsCancel, 238, buttonsY, 52, 14);
  ok->setDefault(true);

  connect(targetCombo_, &QComboBox::currentIndexChanged, this, &DnsSettingsDialog::OnTargetChange);
  connect(kindCombo_, &QComboBox::currentIndexChanged, this, &DnsSettingsDialog::ShowFieldsOfKind);
  connect(test, &QPushButton::clicked, this, &DnsSettingsDialog::OnTest);
  connect(forgetPinButton_, &QPushButton::clicked, this, [this] {
    if (ConfirmForgetPin(this)) ShowPin(pinEdit_, forgetPinButton_, {});
  });
  connect(ok, &QPushButton::clicked, this, &DnsSettingsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &DnsSettingsDialog::reject);
}

void DnsSettingsDialog::BindShownTarget() {
  FieldBindings<DnsTarget>& fields = targets_.bindings();
  // A number this version does not know stays as it is until the user picks a kind.
  fields.Row(
      [this](const DnsTarget& t) {
        kindCombo_->setCurrentIndex(static_cast<int>(t.kind));
        ShowFieldsOfKind();
      },
      [this](DnsTarget& t) {
        const DnsKind kind = ChosenKind(kindCombo_);
        if (kind != t.kind) t.unknownKind.reset();
        t.kind = kind;
      });
  fields.Text(urlEdit_, &DnsTarget::url);
  fields.Text(userEdit_, &DnsTarget::user);
  fields.Text(passEdit_, &DnsTarget::pass);
  fields.Text(hostEdit_, &DnsTarget::host);
  fields.Text(zoneEdit_, &DnsTarget::zone);
  fields.Choice(recordsCombo_, &DnsTarget::records);
  fields.Text(suffixEdit_, &DnsTarget::suffix);
  fields.Text(matchEdit_, &DnsTarget::match);
  fields.Text(apiEdit_, &DnsTarget::api);
  fields.Text(algorithmEdit_, &DnsTarget::algorithm);
  fields.Text(ttlEdit_, &DnsTarget::ttl);
  // Read only: the pin is taken by "--trust", and only forgotten here.
  fields.Pin(pinEdit_, forgetPinButton_, &DnsTarget::pin, &DnsTarget::unreadablePin);
}

void DnsSettingsDialog::ShowFieldsOfKind() {
  const DnsKindRow& kind = DnsKindRowOf(ChosenKind(kindCombo_));
  // The rows the kind uses follow one another from the top, with no gaps where another kind's are.
  const DialogUnits du(font());
  int rowY = kFirstRowY;
  for (const auto& field : kFieldRows) {
    const bool shown = kind.Uses(field.field);
    // Each part's offset from the row's top: a label sits lower, a button's frame a little higher.
    for (const auto& [part, offset] :
         {std::pair{"Label", 2}, {"Edit", 0}, {"Combo", 0}, {"ForgetButton", -1}}) {
      auto* widget = findChild<QWidget*>(QString::fromLatin1(field.name) + QString::fromLatin1(part));
      if (!widget) continue;
      widget->setVisible(shown);
      widget->move(widget->x(), du.Y(rowY + offset));
    }
    if (shown) rowY += kRowStep;
  }
  urlLabel_->setText(QString::fromUtf8(kind.urlLabel));
  passLabel_->setText(QString::fromUtf8(kind.passLabel));
  userLabel_->setText(QString::fromUtf8(kind.userLabel));
}

void DnsSettingsDialog::OnTargetChange() { targets_.ShowRecord(std::max(0, targetCombo_->currentIndex())); }

// One update now through the check's own code; its lines are the answer shown.
void DnsSettingsDialog::OnTest() {
  if (address_.empty()) {
    ShowMessage(this, QString::fromUtf8(msg::kGetAddressFirst), MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  const DnsTarget target = targets_.Shown();
  const int number = targets_.shownIndex() + 1;
  struct Answer {
    DnsTargetReport report;
    std::string lines;
  };
  const Answer answer = RunOffUiThread<Answer>(this, [&](const StopToken& stop) {
    const DnsAddresses addresses{
        address_, target.records == DnsRecords::A
                      ? std::string()
                      : GlobalIpv6Address({settings_.ipv6Interface, settings_.ipv6Temporary}).address};
    TestLineHost host;
    net::HttpGetOptions http;
    http.stop = &stop;
    DnsTargetReport report = UpdateDnsTargetNow(number, target, addresses, host.Now(), host, http);
    return Answer{std::move(report), std::move(host.lines)};
  });
  const bool failed = DnsTargetFailed(answer.report.result);
  ShowMessage(this, FromCp932(answer.lines).trimmed(), MessageButtons::Ok,
              failed ? MessageIcon::Exclamation : MessageIcon::Information);
}

// The settings in memory change only together with the file.
void DnsSettingsDialog::accept() {
  AppSettings updated = settings_;
  updated.dnsTargets = targets_.All();
  // A suffix that names no other machine is refused where it is typed, on its own target.
  for (int i = 0; i < kDnsSlots; ++i) {
    if (const auto problem = DnsSuffixProblem(updated.dnsTargets[i].suffix, msg::kDnsSuffixLabel)) {
      targetCombo_->setCurrentIndex(i);
      ShowMessage(this, QString::fromUtf8(*problem), MessageButtons::Ok, MessageIcon::Exclamation);
      return;
    }
  }
  if (!SaveAppSettings(this, updated)) return;
  settings_ = std::move(updated);
  QDialog::accept();
}

void DnsSettingsDialog::reject() {
  const MessageAnswer answer = ShowMessage(this, QString::fromUtf8(msg::kCancelSettingsQuestion),
                                           MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) QDialog::reject();
}

void RunDnsSettingsDialog(QWidget* parent, AppSettings& settings, const std::string& address) {
  DnsSettingsDialog dialog(settings, address, parent);
  dialog.exec();
}

}  // namespace zepa2::ui
