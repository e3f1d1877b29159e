// The router settings dialog: where the router's status page is, its credentials, the four markers,
// and the tests that try them on the live page before anything is saved.
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>
#include <string>

#include "core/settings/app_settings.h"
#include "core/source/gateway_source.h"
#include "core/source/router_address.h"
#include "ui/common/browser_open.h"
#include "ui/common/cp932_text.h"
#include "ui/common/setting_bindings.h"
#include "ui/settings/dialog_fetch_host.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace zepa2::ui {

class RouterSettingsDialog : public QDialog {
  Q_OBJECT

 public:
  // pause is the router's settle pause after it answered, on the fetch's worker; tests pass one
  // that does not wait. Without one it sleeps, cut short by Esc.
  explicit RouterSettingsDialog(AppSettings& settings, PauseFunction pause = {}, QWidget* parent = nullptr);
  ~RouterSettingsDialog() override;

  // How "ブラウザで確認" hands the address on; the desktop's browser unless replaced. When it
  // fails, a box gives the address to open by hand.
  void SetUrlOpener(UrlOpener opener) { openUrl_ = std::move(opener); }

  void accept() override;  // Enter and "設定"
  void reject() override;  // Esc, "ｷｬﾝｾﾙ" and the window manager's close

 private:
  void BuildControls();
  void BindSettings();
  // The address edit's text split into server and page, as "設定" stores them.
  RouterAddress TypedAddress() const;
  void ShowPinText(const std::string& pin);

  void OnInitDialog();
  void OnAddressChange();
  void OnConnectTest();
  void OnFilter1Test();
  void OnFilter2Test();
  void OnShowHtml();
  void OnBrowserCheck();
  void OnAuthToggle();
  void OnOK();
  void OnCancel();
  void OnAutoFilter();
  void OnForgetPin();
  void OnSaveToKeyring();
  // Enables what the chosen source uses: the page's controls only for the router page, the
  // marker tests only when the markers are used (not with the whole page) and a page was fetched.
  void FollowSource();
  AddressSource ChosenSource() const;

  // The connect test of UPnP and NAT-PMP: asks the router and shows the address it gave.
  void AskGatewayTest(GatewayProtocol protocol);
  // Shows why the chosen source's own address is refused, as OK and the connect test do; false
  // when it is taken.
  bool RefusedGatewayField();
  bool RequireConnectedPage();
  void ShowInPageView(const std::string& text);
  void Inform(const char* utf8Message);

  AppSettings& settings_;
  PauseFunction pause_;
  UrlOpener openUrl_;
  SettingBindings bindings_;  // each control and the settings field it shows
  std::string pageText_;      // the page of the last connect test in this opening

  Cp932Edit addressEdit_{nullptr};
  QLabel* serverLabel_ = nullptr;
  QLabel* pathLabel_ = nullptr;
  QLineEdit* pinEdit_ = nullptr;  // the router's pinned key, read only
  QCheckBox* authCheck_ = nullptr;
  Cp932Edit userEdit_{nullptr};
  Cp932Edit passEdit_{nullptr};
  Cp932Edit filter1Edit_{nullptr};
  Cp932Edit filter2Edit_{nullptr};
  Cp932Edit filter3Edit_{nullptr};
  Cp932Edit filter4Edit_{nullptr};
  QPushButton* autoFilterButton_ = nullptr;
  QPushButton* filter1TestButton_ = nullptr;
  QPushButton* filter2TestButton_ = nullptr;
  QComboBox* sourceCombo_ = nullptr;
  Cp932Edit igdUrlEdit_{nullptr};         // UPnP: the description's URL; empty = discover
  Cp932Edit natPmpGatewayEdit_{nullptr};  // NAT-PMP: the gateway; empty = the default route's
  QCheckBox* wholePageCheck_ = nullptr;
  bool connectTestPassed_ = false;  // the page buttons stay on from the first success
};

// Runs the dialog modally over parent; "設定" has already saved when it returns.
void RunRouterSettingsDialog(QWidget* parent, AppSettings& settings);

}  // namespace zepa2::ui
