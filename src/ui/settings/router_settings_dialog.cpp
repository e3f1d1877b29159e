#include "ui/settings/router_settings_dialog.h"

#include <QCheckBox>
#include <algorithm>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/source/address_extract.h"
#include "core/source/filter_generation.h"
#include "core/source/gateway_source.h"
#include "core/source/router_address.h"
#include "core/source/router_fetch.h"
#include "core/settings/unsafe_fields.h"
#include "core/publish/server_trust.h"
#include "core/text/messages.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/dialog_units.h"
#include "ui/common/message_box.h"
#include "ui/common/password_secret.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"
#include "ui/common/settings_io.h"
#include "ui/settings/page_view_dialog.h"

namespace zepa2::ui {
namespace {

QFont TemplateFont(QFont font) {
  font.setPointSize(10);
  return font;
}

// The texts that "設定" stores and the next opening shows again, each with its field.
struct StoredText {
  std::string AppSettings::*setting;
  std::string RouterSettingsFields::*field;
};
constexpr StoredText kStoredTexts[] = {
    {&AppSettings::filter1, &RouterSettingsFields::filter1Text},
    {&AppSettings::filter2, &RouterSettingsFields::filter2Text},
    {&AppSettings::filter3, &RouterSettingsFields::filter3Text},
    {&AppSettings::filter4, &RouterSettingsFields::filter4Text},
    {&AppSettings::routerPage, &RouterSettingsFields::pathLabel},
    {&AppSettings::routerServer, &RouterSettingsFields::serverLabel},
    {&AppSettings::routerUser, &RouterSettingsFields::authUserText},
    {&AppSettings::routerPass, &RouterSettingsFields::authPassText},
};

// Refreshes an edit only when it shows something else, so the caret stays where the user left it.
void ShowBytes(Cp932Edit& edit, const std::string& bytes) {
  if (edit.Get() != bytes) edit.Set(bytes);
}

}  // namespace

RouterSettingsDialog::RouterSettingsDialog(AppSettings& settings, PauseFunction pause, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint),
      settings_(settings),
      pause_(std::move(pause)),
      openUrl_(DesktopUrlOpener()) {
  BuildControls();
  OnInitDialog();
}

RouterSettingsDialog::~RouterSettingsDialog() = default;

void RouterSettingsDialog::BuildControls() {
  setObjectName(QStringLiteral("routerSettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kRouterSettingsTitle));
  setFont(TemplateFont(font()));
  const DialogUnits du(font());
  setFixedSize(du.Size(350, 248));

  // The frames go first so that the controls drawn over them stay on top.
  AddControl<QGroupBox>(this, du, "wwwServerGroup", msg::kWwwServerGroup, 7, 38, 336, 90);
  AddControl<QGroupBox>(this, du, "filterGroup", msg::kFilterGroup, 7, 132, 336, 72);

  AddControl<QLabel>(this, du, "headingLabel", msg::kRouterHeading, 7, 7, 200, 10);
  // Where the address comes from decides what the rest of the dialog means: it comes first.
  AddControl<QLabel>(this, du, "addressSourceLabel", msg::kAddressSourceLabel, 7, 23, 36, 8);
  sourceCombo_ = AddControl<QComboBox>(this, du, "addressSourceCombo", nullptr, 44, 21, 100, 12);
  for (const char* source : {msg::kSourceRouterPage, msg::kSourceUpnp, msg::kSourceNatPmp}) {
    sourceCombo_->addItem(QString::fromUtf8(source));
  }
  wholePageCheck_ = AddControl<QCheckBox>(this, du, "wholePageCheck", msg::kWholePageCaption, 152, 22, 120, 10);

  AddControl<QLabel>(this, du, "addressLabel", msg::kRouterAddressLabel, 15, 53, 36, 8);
  AddControl<QLabel>(this, du, "httpPrefixLabel", msg::kRouterHttpPrefix, 52, 53, 26, 8);
  auto* address = AddControl<QLineEdit>(this, du, "addressEdit", nullptr, 78, 51, 186, 12);
  addressEdit_ = Cp932Edit(address);
  auto* browser = AddControl<QPushButton>(this, du, "browserCheckButton", msg::kBrowserCheck, 268, 50, 68, 14);

  AddControl<QLabel>(this, du, "serverNameLabel", msg::kRouterServerLabel, 15, 71, 44, 8);
  serverLabel_ = AddControl<QLabel>(this, du, "serverLabel", nullptr, 62, 71, 120, 8);
  AddControl<QLabel>(this, du, "sitePathLabel", msg::kRouterPathLabel, 15, 87, 44, 8);
  pathLabel_ = AddControl<QLabel>(this, du, "pathLabel", nullptr, 62, 87, 120, 8);
  authCheck_ = AddControl<QCheckBox>(this, du, "authCheck", msg::kRouterAuthEnable, 190, 69, 130, 10);
  AddControl<QLabel>(this, du, "userLabel", msg::kRouterUserLabel, 190, 85, 24, 8)->hide();
  userEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "userEdit", nullptr, 218, 83, 118, 12));
  AddControl<QLabel>(this, du, "passLabel", msg::kRouterPassLabel, 190, 102, 24, 8)->hide();
  auto* pass = AddControl<QLineEdit>(this, du, "passEdit", nullptr, 218, 100, 118, 12);
  pass->setEchoMode(QLineEdit::Password);
  passEdit_ = Cp932Edit(pass);
  auto* toKeyring = AddControl<QPushButton>(this, du, "saveToKeyringButton", msg::kSaveToKeyring, 266, 114, 70, 13);
  auto* connectTest = AddControl<QPushButton>(this, du, "connectTestButton", msg::kConnectTest, 15, 105, 70, 14);
  auto* showHtml = AddControl<QPushButton>(this, du, "showHtmlButton", msg::kShowHtml, 90, 105, 70, 14);

  AddControl<QLabel>(this, du, "filterChars1Label", msg::kFilterChars1, 15, 148, 66, 8);
  filter1Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter1Edit", nullptr, 84, 146, 124, 12));
  filter2Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter2Edit", nullptr, 212, 146, 124, 12));
  AddControl<QLabel>(this, du, "filterChars2Label", msg::kFilterChars2, 15, 166, 66, 8);
  filter3Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter3Edit", nullptr, 84, 164, 124, 12));
  filter4Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter4Edit", nullptr, 212, 164, 124, 12));
  autoFilterButton_ = AddControl<QPushButton>(this, du, "autoFilterButton", msg::kAutoFilter, 15, 183, 100, 14);
  filter1TestButton_ =
      AddControl<QPushButton>(this, du, "filter1TestButton", msg::kFilter1Test, 176, 183, 78, 14);
  filter2TestButton_ =
      AddControl<QPushButton>(this, du, "filter2TestButton", msg::kFilter2Test, 258, 183, 78, 14);

  // An HTTPS router's pinned key, beside the buttons.
  AddControl<QLabel>(this, du, "pinLabel", msg::kPinLabel, 7, 211, 14, 8);
  pinEdit_ = AddControl<QLineEdit>(this, du, "pinEdit", nullptr, 22, 209, 150, 12);
  pinEdit_->setReadOnly(true);
  auto* forgetPin = AddControl<QPushButton>(this, du, "forgetPinButton", msg::kForgetPin, 176, 209, 50, 14);
  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kRouterSettingsOk, 232, 209, 52, 14);
  auto* cancel = AddControl<QPushButton>(this, du, "cancelButton", msg::kRouterSettingsCancel, 290, 209, 52, 14);
  ok->setDefault(true);

  connect(address, &QLineEdit::textChanged, this, &RouterSettingsDialog::OnAddressChange);
  connect(browser, &QPushButton::clicked, this, &RouterSettingsDialog::OnBrowserCheck);
  connect(authCheck_, &QCheckBox::clicked, this, &RouterSettingsDialog::OnAuthToggle);
  connect(connectTest, &QPushButton::clicked, this, &RouterSettingsDialog::OnConnectTest);
  connect(showHtml, &QPushButton::clicked, this, &RouterSettingsDialog::OnShowHtml);
  connect(autoFilterButton_, &QPushButton::clicked, this, &RouterSettingsDialog::OnAutoFilter);
  connect(filter1TestButton_, &QPushButton::clicked, this, &RouterSettingsDialog::OnFilter1Test);
  connect(filter2TestButton_, &QPushButton::clicked, this, &RouterSettingsDialog::OnFilter2Test);
  connect(ok, &QPushButton::clicked, this, &RouterSettingsDialog::accept);
  connect(cancel, &QPushButton::clicked, this, &RouterSettingsDialog::reject);
  connect(forgetPin, &QPushButton::clicked, this, &RouterSettingsDialog::OnForgetPin);
  connect(toKeyring, &QPushButton::clicked, this, &RouterSettingsDialog::OnSaveToKeyring);
  connect(sourceCombo_, &QComboBox::currentIndexChanged, this, &RouterSettingsDialog::FollowSource);
  connect(wholePageCheck_, &QCheckBox::toggled, this, &RouterSettingsDialog::FollowSource);
}

void RouterSettingsDialog::FollowSource() {
  const bool page = sourceCombo_->currentIndex() == static_cast<int>(AddressSource::RouterPage);
  const bool markers = page && !wholePageCheck_->isChecked();
  for (const char* name : {"addressEdit", "browserCheckButton", "authCheck", "showHtmlButton", "pinEdit",
                           "wholePageCheck"}) {
    findChild<QWidget*>(QLatin1String(name))->setEnabled(page);
  }
  findChild<QWidget*>(QStringLiteral("forgetPinButton"))->setEnabled(page && !fields_.pinText.empty());
  userEdit_.widget()->setEnabled(page && authCheck_->isChecked());
  passEdit_.widget()->setEnabled(page && authCheck_->isChecked());
  findChild<QWidget*>(QStringLiteral("saveToKeyringButton"))->setEnabled(page && authCheck_->isChecked());
  for (const Cp932Edit* marker : {&filter1Edit_, &filter2Edit_, &filter3Edit_, &filter4Edit_}) {
    marker->widget()->setEnabled(markers);
  }
  for (QPushButton* needsPage : {autoFilterButton_, filter1TestButton_, filter2TestButton_}) {
    needsPage->setEnabled(markers && connectTestPassed_);
  }
}

// The server and path labels are not read back: they follow the address edit on every change.
void RouterSettingsDialog::ReadControls() {
  fields_.filter1Text = filter1Edit_.Get();
  fields_.filter2Text = filter2Edit_.Get();
  fields_.filter3Text = filter3Edit_.Get();
  fields_.filter4Text = filter4Edit_.Get();
  fields_.addressText = addressEdit_.Get();
  fields_.authEnabled = authCheck_->isChecked();
  fields_.authPassText = passEdit_.Get();
  fields_.authUserText = userEdit_.Get();
  fields_.addressSource = static_cast<AddressSource>(std::max(0, sourceCombo_->currentIndex()));
  fields_.wholePage = wholePageCheck_->isChecked();
}

void RouterSettingsDialog::PushFields() {
  ShowBytes(filter1Edit_, fields_.filter1Text);
  ShowBytes(filter2Edit_, fields_.filter2Text);
  ShowBytes(filter3Edit_, fields_.filter3Text);
  ShowBytes(filter4Edit_, fields_.filter4Text);
  serverLabel_->setText(FromCp932(fields_.serverLabel));
  pathLabel_->setText(FromCp932(fields_.pathLabel));
  authCheck_->setChecked(fields_.authEnabled);
  ShowPin(pinEdit_, findChild<QPushButton*>(QStringLiteral("forgetPinButton")), fields_.pinText);
  ShowBytes(passEdit_, fields_.authPassText);
  ShowBytes(userEdit_, fields_.authUserText);
  sourceCombo_->setCurrentIndex(static_cast<int>(fields_.addressSource));
  wholePageCheck_->setChecked(fields_.wholePage);
  ShowBytes(addressEdit_, fields_.addressText);  // last: a change here runs OnAddressChange
}

void RouterSettingsDialog::OnInitDialog() {
  for (const StoredText& text : kStoredTexts) fields_.*text.field = settings_.*text.setting;
  fields_.addressText = JoinRouterAddress(settings_.routerServer, settings_.routerPage);
  fields_.authEnabled = settings_.routerAuth;
  fields_.addressSource = settings_.addressSource;
  fields_.wholePage = settings_.wholePage;
  fields_.pinText = settings_.routerPin;
  PushFields();
  OnAuthToggle();
  FollowSource();
}

void RouterSettingsDialog::OnAddressChange() {
  ReadControls();
  RouterAddress split = SplitRouterAddress(fields_.addressText);
  fields_.addressText = std::move(split.address);
  fields_.serverLabel = std::move(split.server);
  fields_.pathLabel = std::move(split.path);
  PushFields();
  // An address that spells its own scheme ("https://…") needs no fixed prefix in front of it.
  const bool ownScheme = FromCp932(fields_.addressText).contains(QLatin1String("://"));
  findChild<QLabel*>(QStringLiteral("httpPrefixLabel"))
      ->setText(ownScheme ? QString() : QString::fromUtf8(msg::kRouterHttpPrefix));
}

void RouterSettingsDialog::OnConnectTest() {
  ReadControls();
  if (const auto protocol = GatewayProtocolOf(fields_.addressSource)) {
    AskGatewayTest(*protocol);
    return;
  }
  const std::optional<std::string> password =
      fields_.authPassText.empty() ? std::optional<std::string>("") : PasswordForTest(this, fields_.authPassText, "HTTP.Pass");
  if (!password) return;
  bool stopped = false;
  auto fetch = [&] {
    RouterSettingsFields asked = fields_;
    asked.authPassText = *password;
    // The fetch runs on a worker; it sees copies only, and the page comes back when it is done.
    RouterPageAnswer answer = RunOffUiThread<RouterPageAnswer>(this, [&](const StopToken& stop) {
      DialogFetchHost host(pause_, stop);
      net::HttpGetOptions options;
      options.stop = &stop;
      options.pin = asked.pinText;
      RouterPageAnswer got = FetchRouterPage({asked.serverLabel, asked.pathLabel,
                                              net::HttpCredentials{asked.authUserText, asked.authPassText}},
                                             host, options);
      stopped = stop.stopRequested();
      return got;
    });
    // A router that did not answer leaves the page fetched before.
    if (answer.kind != RouterPageKind::NoAnswer) fields_.pageText = answer.body;
    return answer;
  };
  RouterPageAnswer result;
  const std::string server = fields_.serverLabel;
  AttemptTrustingKey(
      this, FromCp932(server), fields_.pinText,
      [&](const StopToken& stop) {
        return LearnRouterKey(server, {&stop, net::SteadyClock::now() + std::chrono::seconds(30)});
      },
      [&] {
        result = fetch();
        return result.key;
      },
      [this] { PushFields(); });
  if (stopped && result.kind != RouterPageKind::Page) {
    Inform(msg::kStepStopped);
    return;
  }
  switch (result.kind) {
    case RouterPageKind::NoAnswer:
    case RouterPageKind::BrokenOff:
      ShowMessage(this, QString::fromUtf8(msg::kConnectFailed), MessageButtons::Ok, MessageIcon::Exclamation);
      break;
    case RouterPageKind::BadStatus:
      ShowMessage(this, QString::fromUtf8(msg::kPageNotOpened), MessageButtons::Ok, MessageIcon::Exclamation);
      break;
    case RouterPageKind::Page:
      connectTestPassed_ = true;
      FollowSource();
      Inform(msg::kConnectSucceeded);
      break;
  }
}

void RouterSettingsDialog::OnFilter1Test() {
  ReadControls();
  if (!RequireConnectedPage()) return;
  if (const auto cut = ExtractBetween(fields_.filter1Text, fields_.filter2Text, fields_.pageText)) {
    ShowInPageView(std::string(*cut));
  } else {
    Inform(msg::kMarkedTextNotFound);
  }
}

void RouterSettingsDialog::OnFilter2Test() {
  ReadControls();
  if (!RequireConnectedPage()) return;
  const ExtractedAddress found = ExtractAddress(fields_.pageText, fields_.filter1Text, fields_.filter2Text,
                                                fields_.filter3Text, fields_.filter4Text);
  switch (found.outcome) {
    case AddressOutcome::FirstPairMissing: Inform(msg::kFilter1TextNotFound); break;
    case AddressOutcome::SecondPairMissing: Inform(msg::kFilter2TextNotFound); break;
    case AddressOutcome::AddressFound: ShowInPageView(found.address); break;
  }
}

void RouterSettingsDialog::OnShowHtml() { ShowInPageView(fields_.pageText); }

void RouterSettingsDialog::OnBrowserCheck() {
  ReadControls();
  // The address may name its own scheme ("https://router/status.htm"); only a bare one is http.
  const QString typed = FromCp932(fields_.addressText);
  const bool hasScheme = typed.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                         typed.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
  const QUrl url(hasScheme ? typed : QString::fromUtf8(msg::kRouterHttpPrefix) + typed, QUrl::TolerantMode);
  OpenInBrowser(this, url, openUrl_);
}

void RouterSettingsDialog::OnAuthToggle() {
  ReadControls();
  const bool on = fields_.authEnabled;
  if (!on) {
    fields_.authUserText.clear();
    fields_.authPassText.clear();
  }
  PushFields();
  FollowSource();
}

void RouterSettingsDialog::accept() { OnOK(); }

void RouterSettingsDialog::reject() { OnCancel(); }

// The settings in memory change only together with the file: when the save fails, its box has
// said why and the dialog stays open with everything typed, to try again or cancel.
void RouterSettingsDialog::OnOK() {
  ReadControls();
  // A pasted line break would reach the router as a header line of its own.
  if (const char* field = UnsafeRouterField(fields_.serverLabel, fields_.pathLabel,
                                                 fields_.authUserText, fields_.authPassText)) {
    ShowMessage(this, QString::fromUtf8(msg::kUnsafeFieldInDialog).arg(QString::fromUtf8(field)),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  AppSettings updated = settings_;
  for (const StoredText& text : kStoredTexts) updated.*text.setting = fields_.*text.field;
  updated.routerAuth = fields_.authEnabled;
  updated.addressSource = fields_.addressSource;
  updated.wholePage = fields_.wholePage;
  updated.routerPin = fields_.pinText;
  if (!SaveAppSettings(this, updated)) return;
  settings_ = std::move(updated);
  QDialog::accept();
}

void RouterSettingsDialog::OnCancel() {
  const MessageAnswer answer = ShowMessage(this, QString::fromUtf8(msg::kCancelSettingsQuestion),
                                           MessageButtons::YesNo, MessageIcon::Question);
  if (answer == MessageAnswer::Yes) QDialog::reject();
}

void RouterSettingsDialog::OnAutoFilter() {
  ReadControls();
  if (!RequireConnectedPage()) return;
  std::string picked;
  {
    PageViewDialog pageView(true, this);
    pageView.setSourceText(fields_.pageText);
    pageView.exec();  // Esc counts too: the pasted text is used as it is
    picked = pageView.pickedText();
  }
  if (picked.empty()) {
    Inform(msg::kChoosePickTarget);
    return;
  }
  if (const auto generated = GenerateFilters(fields_.pageText, picked)) {
    fields_.filter1Text = generated->filter1;
    fields_.filter2Text = generated->filter2;
    fields_.filter3Text = generated->filter3;
    fields_.filter4Text = generated->filter4;
  } else {
    Inform(msg::kFilterGenerationFailed);
  }
  PushFields();
}

void RouterSettingsDialog::AskGatewayTest(GatewayProtocol protocol) {
  // Asked the way a check asks, with what the dialog shows.
  AppSettings asked = settings_;
  asked.addressSource = fields_.addressSource;
  const bool upnp = protocol == GatewayProtocol::Upnp;
  bool stopped = false;
  const GatewayAnswer answer = RunOffUiThread<GatewayAnswer>(this, [&](const StopToken& stop) {
    GatewayAnswer got = AskGateway(protocol, asked, &stop);
    stopped = stop.stopRequested();
    return got;
  });
  if (stopped && !answer.found()) {
    Inform(msg::kStepStopped);
  } else if (answer.found()) {
    ShowMessage(this, QString::fromUtf8(msg::kGatewayAddressGot).arg(FromCp932(answer.address)),
                MessageButtons::Ok, MessageIcon::Information);
  } else {
    // The network's own reason is English: it goes to the log of a real check, not into this box.
    ShowMessage(this,
                QString::fromUtf8(msg::kConnectFailed) + "\n" +
                    QString::fromUtf8(upnp ? msg::kUpnpAddressFailed : msg::kNatPmpAddressFailed),
                MessageButtons::Ok, MessageIcon::Exclamation);
  }
}

void RouterSettingsDialog::OnSaveToKeyring() {
  ReadControls();
  if (auto reference = SavePasswordToKeyring(this, "HTTP.Pass", fields_.authPassText)) {
    fields_.authPassText = std::move(*reference);
    PushFields();
  }
}

void RouterSettingsDialog::OnForgetPin() {
  if (!ConfirmForgetPin(this)) return;
  ReadControls();
  fields_.pinText.clear();
  PushFields();
}

bool RouterSettingsDialog::RequireConnectedPage() {
  if (!fields_.pageText.empty()) return true;
  Inform(msg::kConnectTestFirst);
  return false;
}

void RouterSettingsDialog::ShowInPageView(const std::string& text) {
  PageViewDialog pageView(false, this);
  pageView.setSourceText(text);
  pageView.exec();
}

void RouterSettingsDialog::Inform(const char* utf8Message) {
  ShowMessage(this, QString::fromUtf8(utf8Message), MessageButtons::Ok, MessageIcon::Information);
}

void RunRouterSettingsDialog(QWidget* parent, AppSettings& settings) {
  RouterSettingsDialog dialog(settings, {}, parent);
  dialog.exec();
}

}  // namespace zepa2::ui
