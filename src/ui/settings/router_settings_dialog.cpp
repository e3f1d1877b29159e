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
#include "core/settings/gateway_fields.h"
#include "core/settings/unsafe_fields.h"
#include "core/publish/server_trust.h"
#include "core/text/messages.h"
#include "ui/common/dialog_controls.h"
#include "ui/common/dialog_units.h"
#include "ui/common/message_box.h"
#include "ui/common/password_secret.h"
#include "ui/common/off_ui_thread.h"
#include "ui/common/server_key_prompt.h"
#include "ui/common/setting_bindings.h"
#include "ui/common/settings_io.h"
#include "ui/settings/page_view_dialog.h"

namespace zepa2::ui {
namespace {

QFont TemplateFont(QFont font) {
  font.setPointSize(10);
  return font;
}

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
  BindSettings();
  OnInitDialog();
}

RouterSettingsDialog::~RouterSettingsDialog() = default;

void RouterSettingsDialog::BuildControls() {
  setObjectName(QStringLiteral("routerSettingsDialog"));
  setWindowTitle(QString::fromUtf8(msg::kRouterSettingsTitle));
  setFont(TemplateFont(font()));
  const DialogUnits du(font());
  setFixedSize(du.Size(350, 264));

  // The frames go first so that the controls drawn over them stay on top.
  AddControl<QGroupBox>(this, du, "wwwServerGroup", msg::kWwwServerGroup, 7, 54, 336, 90);
  AddControl<QGroupBox>(this, du, "filterGroup", msg::kFilterGroup, 7, 148, 336, 72);

  AddControl<QLabel>(this, du, "headingLabel", msg::kRouterHeading, 7, 7, 200, 10);
  AddBusyLabel(this, du, 210, 7, 133, 10);
  // Where the address comes from decides what the rest of the dialog means: it comes first.
  AddControl<QLabel>(this, du, "addressSourceLabel", msg::kAddressSourceLabel, 7, 23, 36, 8);
  sourceCombo_ = AddControl<QComboBox>(this, du, "addressSourceCombo", nullptr, 44, 21, 100, 12);
  for (const char* source : {msg::kSourceRouterPage, msg::kSourceUpnp, msg::kSourceNatPmp}) {
    sourceCombo_->addItem(QString::fromUtf8(source));
  }
  wholePageCheck_ =
      AddControl<QCheckBox>(this, du, "wholePageCheck", msg::kWholePageCaption, 152, 22, 120, 10);
  // The router's own addresses for the two sources that ask it, each right under the choice.
  AddControl<QLabel>(this, du, "igdUrlLabel", msg::kIgdUrlLabel, 7, 39, 36, 8);
  igdUrlEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "igdUrlEdit", nullptr, 44, 37, 164, 12));
  AddControl<QLabel>(this, du, "natPmpGatewayLabel", msg::kNatPmpGatewayLabel, 214, 39, 46, 8);
  natPmpGatewayEdit_ =
      Cp932Edit(AddControl<QLineEdit>(this, du, "natPmpGatewayEdit", nullptr, 262, 37, 81, 12));
  igdUrlEdit_.widget()->setPlaceholderText(QString::fromUtf8(msg::kIgdUrlPlaceholder));
  igdUrlEdit_.widget()->setToolTip(QString::fromUtf8(msg::kIgdUrlTip));
  natPmpGatewayEdit_.widget()->setPlaceholderText(QString::fromUtf8(msg::kNatPmpGatewayPlaceholder));
  natPmpGatewayEdit_.widget()->setToolTip(QString::fromUtf8(msg::kNatPmpGatewayTip));

  AddControl<QLabel>(this, du, "addressLabel", msg::kRouterAddressLabel, 15, 69, 36, 8);
  AddControl<QLabel>(this, du, "httpPrefixLabel", msg::kRouterHttpPrefix, 52, 69, 26, 8);
  auto* address = AddControl<QLineEdit>(this, du, "addressEdit", nullptr, 78, 67, 186, 12);
  addressEdit_ = Cp932Edit(address);
  auto* browser =
      AddControl<QPushButton>(this, du, "browserCheckButton", msg::kBrowserCheck, 268, 66, 68, 14);

  AddControl<QLabel>(this, du, "serverNameLabel", msg::kRouterServerLabel, 15, 87, 44, 8);
  serverLabel_ = AddControl<QLabel>(this, du, "serverLabel", nullptr, 62, 87, 120, 8);
  AddControl<QLabel>(this, du, "sitePathLabel", msg::kRouterPathLabel, 15, 103, 44, 8);
  pathLabel_ = AddControl<QLabel>(this, du, "pathLabel", nullptr, 62, 103, 120, 8);
  authCheck_ = AddControl<QCheckBox>(this, du, "authCheck", msg::kRouterAuthEnable, 190, 85, 130, 10);
  AddControl<QLabel>(this, du, "userLabel", msg::kRouterUserLabel, 190, 101, 24, 8)->hide();
  userEdit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "userEdit", nullptr, 218, 99, 118, 12));
  AddControl<QLabel>(this, du, "passLabel", msg::kRouterPassLabel, 190, 118, 24, 8)->hide();
  auto* pass = AddControl<QLineEdit>(this, du, "passEdit", nullptr, 218, 116, 118, 12);
  pass->setEchoMode(QLineEdit::Password);
  passEdit_ = Cp932Edit(pass);
  auto* toKeyring =
      AddControl<QPushButton>(this, du, "saveToKeyringButton", msg::kSaveToKeyring, 266, 130, 70, 13);
  auto* connectTest =
      AddControl<QPushButton>(this, du, "connectTestButton", msg::kConnectTest, 15, 121, 70, 14);
  auto* showHtml = AddControl<QPushButton>(this, du, "showHtmlButton", msg::kShowHtml, 90, 121, 70, 14);

  AddControl<QLabel>(this, du, "filterChars1Label", msg::kFilterChars1, 15, 164, 66, 8);
  filter1Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter1Edit", nullptr, 84, 162, 124, 12));
  filter2Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter2Edit", nullptr, 212, 162, 124, 12));
  AddControl<QLabel>(this, du, "filterChars2Label", msg::kFilterChars2, 15, 182, 66, 8);
  filter3Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter3Edit", nullptr, 84, 180, 124, 12));
  filter4Edit_ = Cp932Edit(AddControl<QLineEdit>(this, du, "filter4Edit", nullptr, 212, 180, 124, 12));
  autoFilterButton_ =
      AddControl<QPushButton>(this, du, "autoFilterButton", msg::kAutoFilter, 15, 199, 100, 14);
  filter1TestButton_ =
      AddControl<QPushButton>(this, du, "filter1TestButton", msg::kFilter1Test, 176, 199, 78, 14);
  filter2TestButton_ =
      AddControl<QPushButton>(this, du, "filter2TestButton", msg::kFilter2Test, 258, 199, 78, 14);

  // An HTTPS router's pinned key, beside the buttons.
  AddControl<QLabel>(this, du, "pinLabel", msg::kPinLabel, 7, 227, 14, 8);
  pinEdit_ = AddControl<QLineEdit>(this, du, "pinEdit", nullptr, 22, 225, 150, 12);
  pinEdit_->setReadOnly(true);
  auto* forgetPin = AddControl<QPushButton>(this, du, "forgetPinButton", msg::kForgetPin, 176, 225, 50, 14);
  auto* ok = AddControl<QPushButton>(this, du, "okButton", msg::kRouterSettingsOk, 232, 225, 52, 14);
  auto* cancel =
      AddControl<QPushButton>(this, du, "cancelButton", msg::kRouterSettingsCancel, 290, 225, 52, 14);
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

AddressSource RouterSettingsDialog::ChosenSource() const {
  return static_cast<AddressSource>(std::max(0, sourceCombo_->currentIndex()));
}

// What the chosen source and boxes leave in use is read from the values as the controls hold them
// now, by the same rules the check follows.
void RouterSettingsDialog::FollowSource() {
  AppSettings now = settings_;
  bindings_.Store(now);
  bindings_.Enable(now);
  for (QPushButton* needsPage : {autoFilterButton_, filter1TestButton_, filter2TestButton_}) {
    needsPage->setEnabled(RouterMarkersUsed(now) && connectTestPassed_);
  }
}

// Each control shows its field from opening on and is read only by "設定".
void RouterSettingsDialog::BindSettings() {
  const auto button = [this](const char* name) { return findChild<QPushButton*>(QLatin1String(name)); };
  bindings_.Text(filter1Edit_, &AppSettings::filter1).EnabledWhen(RouterMarkersUsed);
  bindings_.Text(filter2Edit_, &AppSettings::filter2).EnabledWhen(RouterMarkersUsed);
  bindings_.Text(filter3Edit_, &AppSettings::filter3).EnabledWhen(RouterMarkersUsed);
  bindings_.Text(filter4Edit_, &AppSettings::filter4).EnabledWhen(RouterMarkersUsed);
  bindings_.Flag(authCheck_, &AppSettings::routerAuth).EnabledWhen(RouterPageAsked);
  bindings_.Text(userEdit_, &AppSettings::routerUser).EnabledWhen(RouterLoginSent);
  bindings_.Text(passEdit_, &AppSettings::routerPass)
      .EnabledWhen(RouterLoginSent, {button("saveToKeyringButton")});
  bindings_.Choice(sourceCombo_, &AppSettings::addressSource, &AppSettings::unknownSource);
  bindings_.Flag(wholePageCheck_, &AppSettings::wholePage).EnabledWhen(RouterPageAsked);
  bindings_.Text(igdUrlEdit_, &AppSettings::igdUrl).EnabledWhen([](const AppSettings& s) {
    return s.addressSource == AddressSource::Upnp;
  });
  bindings_.Text(natPmpGatewayEdit_, &AppSettings::natPmpGateway).EnabledWhen([](const AppSettings& s) {
    return s.addressSource == AddressSource::NatPmp;
  });
  // The server and the page are one edit, split as it is typed (its change shows the split).
  bindings_
      .Row(
          [this](const AppSettings& s) { addressEdit_.Set(JoinRouterAddress(s.routerServer, s.routerPage)); },
          [this](AppSettings& s) {
            RouterAddress typed = TypedAddress();
            s.routerServer = std::move(typed.server);
            s.routerPage = std::move(typed.path);
          },
          {addressEdit_.widget()})
      .EnabledWhen(RouterPageAsked, {button("browserCheckButton"), button("showHtmlButton")});
  bindings_
      .Pin(pinEdit_, button("forgetPinButton"), &AppSettings::routerPin, &AppSettings::unreadableRouterPin)
      .EnabledWhen(RouterPageAsked);
}

RouterAddress RouterSettingsDialog::TypedAddress() const { return SplitRouterAddress(addressEdit_.Get()); }

void RouterSettingsDialog::ShowPinText(const std::string& pin) {
  ShowPin(pinEdit_, findChild<QPushButton*>(QStringLiteral("forgetPinButton")), pin);
}

void RouterSettingsDialog::OnInitDialog() {
  bindings_.Show(settings_);
  OnAuthToggle();
  FollowSource();
}

void RouterSettingsDialog::OnAddressChange() {
  const RouterAddress split = TypedAddress();
  serverLabel_->setText(FromCp932(split.server));
  pathLabel_->setText(FromCp932(split.path));
  // An address that spells its own scheme ("https://…") needs no fixed prefix in front of it.
  const bool ownScheme = FromCp932(split.address).contains(QLatin1String("://"));
  findChild<QLabel*>(QStringLiteral("httpPrefixLabel"))
      ->setText(ownScheme ? QString() : QString::fromUtf8(msg::kRouterHttpPrefix));
  ShowBytes(addressEdit_, split.address);  // last: a typed "http://" goes, and this runs once more
}

void RouterSettingsDialog::OnConnectTest() {
  if (const auto protocol = GatewayProtocolOf(ChosenSource())) {
    if (RefusedGatewayField()) return;
    AskGatewayTest(*protocol);
    return;
  }
  // The fetch runs on a worker; it sees these copies only, and the page comes back when it is done.
  AppSettings typed = settings_;
  bindings_.Store(typed);
  std::optional<std::string> password = std::string();
  if (RouterLoginSent(typed) && !typed.routerPass.empty())
    password = PasswordForTest(this, typed.routerPass, "HTTP.Pass");
  if (!password) return;
  RouterRequest request = RouterRequestOf(typed, std::move(*password));
  std::string& pin = request.pin;
  bool stopped = false;
  auto fetch = [&] {
    const RouterRequest asked = request;
    RouterPageAnswer answer = RunOffUiThread<RouterPageAnswer>(this, [&](const StopToken& stop) {
      DialogFetchHost host(pause_, stop);
      net::HttpGetOptions options;
      options.stop = &stop;
      RouterPageAnswer got = FetchRouterPage(asked, host, options);
      stopped = stop.stopRequested();
      return got;
    });
    // A router that did not answer leaves the page fetched before.
    if (answer.kind != RouterPageKind::NoAnswer) pageText_ = answer.body;
    return answer;
  };
  RouterPageAnswer result;
  AttemptTrustingKey(
      this, FromCp932(request.server), pin,
      [&](const StopToken& stop) {
        return LearnRouterKey(request.server, {&stop, net::SteadyClock::now() + std::chrono::seconds(30)});
      },
      [&] {
        result = fetch();
        return result.key;
      },
      [&] { ShowPinText(pin); });
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
  if (!RequireConnectedPage()) return;
  if (const auto cut = ExtractBetween(filter1Edit_.Get(), filter2Edit_.Get(), pageText_)) {
    ShowInPageView(std::string(*cut));
  } else {
    Inform(msg::kMarkedTextNotFound);
  }
}

void RouterSettingsDialog::OnFilter2Test() {
  if (!RequireConnectedPage()) return;
  const ExtractedAddress found = ExtractAddress(pageText_, filter1Edit_.Get(), filter2Edit_.Get(),
                                                filter3Edit_.Get(), filter4Edit_.Get());
  switch (found.outcome) {
    case AddressOutcome::FirstPairMissing:
      Inform(msg::kFilter1TextNotFound);
      break;
    case AddressOutcome::SecondPairMissing:
      Inform(msg::kFilter2TextNotFound);
      break;
    case AddressOutcome::AddressFound:
      ShowInPageView(found.address);
      break;
  }
}

void RouterSettingsDialog::OnShowHtml() { ShowInPageView(pageText_); }

void RouterSettingsDialog::OnBrowserCheck() {
  // The address may name its own scheme ("https://router/status.htm"); only a bare one is http.
  const QString typed = FromCp932(addressEdit_.Get());
  const bool hasScheme = typed.startsWith(QLatin1String("http://"), Qt::CaseInsensitive) ||
                         typed.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
  const QUrl url(hasScheme ? typed : QString::fromUtf8(msg::kRouterHttpPrefix) + typed, QUrl::TolerantMode);
  OpenInBrowser(this, url, openUrl_);
}

void RouterSettingsDialog::OnAuthToggle() {
  if (!authCheck_->isChecked()) {
    userEdit_.Set({});
    passEdit_.Set({});
  }
  FollowSource();
}

void RouterSettingsDialog::accept() { OnOK(); }

void RouterSettingsDialog::reject() { OnCancel(); }

// The settings in memory change only together with the file: when the save fails, its box has
// said why and the dialog stays open with everything typed, to try again or cancel.
void RouterSettingsDialog::OnOK() {
  const RouterAddress address = TypedAddress();
  // A pasted line break would reach the router as a header line of its own.
  if (const char* field = UnsafeRouterField(address.server, address.path, userEdit_.Get(), passEdit_.Get())) {
    ShowMessage(this, QString::fromUtf8(msg::kUnsafeFieldInDialog).arg(QString::fromUtf8(field)),
                MessageButtons::Ok, MessageIcon::Exclamation);
    return;
  }
  if (RefusedGatewayField()) return;
  AppSettings updated = settings_;
  bindings_.Store(updated);
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
  if (!RequireConnectedPage()) return;
  std::string picked;
  {
    PageViewDialog pageView(true, this);
    pageView.setSourceText(pageText_);
    pageView.exec();  // Esc counts too: the pasted text is used as it is
    picked = pageView.pickedText();
  }
  if (picked.empty()) {
    Inform(msg::kChoosePickTarget);
    return;
  }
  if (const auto generated = GenerateFilters(pageText_, picked)) {
    filter1Edit_.Set(generated->filter1);
    filter2Edit_.Set(generated->filter2);
    filter3Edit_.Set(generated->filter3);
    filter4Edit_.Set(generated->filter4);
  } else {
    Inform(msg::kFilterGenerationFailed);
  }
}

void RouterSettingsDialog::AskGatewayTest(GatewayProtocol protocol) {
  // Asked the way a check asks, with what the dialog shows.
  AppSettings asked = settings_;
  bindings_.Store(asked);
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
  if (auto reference = SavePasswordToKeyring(this, "HTTP.Pass", passEdit_.Get())) passEdit_.Set(*reference);
}

void RouterSettingsDialog::OnForgetPin() {
  if (!ConfirmForgetPin(this)) return;
  ShowPinText({});
  FollowSource();
}

bool RouterSettingsDialog::RefusedGatewayField() {
  const auto refused = RefuseGatewayField(ChosenSource(), igdUrlEdit_.Get(), natPmpGatewayEdit_.Get());
  if (!refused) return false;
  ShowMessage(this, QString::fromUtf8(refused->reason).arg(QString::fromUtf8(refused->label)),
              MessageButtons::Ok, MessageIcon::Exclamation);
  return true;
}

bool RouterSettingsDialog::RequireConnectedPage() {
  if (!pageText_.empty()) return true;
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
