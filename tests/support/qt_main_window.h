// Helpers for tests of the main window: its log as text, and settings for the router test server.
#pragma once

#include <QObject>
#include <QStringList>
#include <memory>
#include <string>

#include "core/settings/app_settings.h"
#include "support/publish_support.h"
#include "support/temp_dir.h"
#include "ui/main/desktop_notices.h"
#include "ui/main/main_dialog.h"

namespace zepa2::test {

// One test's surroundings: a fresh folder that is both XDG_CONFIG_HOME and the working folder
// (where publishing writes temp.html), with XDG_STATE_HOME under it, and message boxes answered
// through the seam.
class MainWindowScope {
 public:
  MainWindowScope();
  ~MainWindowScope();
  const TempDir& dir() const { return dir_; }

 private:
  TempDir dir_;
  ScopedEnv config_{"XDG_CONFIG_HOME", dir_.path().string()};
  // The log file and the status file stay in the test's folder; notices reach no real desktop.
  ScopedEnv state_{"XDG_STATE_HOME", (dir_.path() / "state").string()};
  ScopedEnv bus_{"DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/zepa2-test-bus"};
  ScopedWorkingFolder workingFolder_{dir_.path()};
};

// The set-up every test program of the main window shares: before each test its own folders
// (MainWindowScope) and default settings, after it the window and then the folders gone. A program
// derives from it; what all its tests share more goes into Prepare (and Finish), and CreateWindow
// makes the window of settings_ (not yet shown).
class MainWindowTest : public QObject {
  Q_OBJECT

 public:
  ~MainWindowTest() override;

 private slots:
  void init();
  void cleanup();

 protected:
  virtual void Prepare() {}
  virtual void Finish() {}
  ui::MainDialog& CreateWindow();

  std::unique_ptr<MainWindowScope> scope_;
  AppSettings settings_;
  std::unique_ptr<ui::MainDialog> dialog_;
};

// A named child widget; ends the test program when it is missing.
template <typename W>
W* FindChild(const QObject& parent, const char* name) {
  W* widget = parent.findChild<W*>(QLatin1String(name));
  if (!widget) qFatal("no widget %s", name);
  return widget;
}

// The log lines without their time stamps, oldest first.
QStringList LogTexts(const ui::MainDialog& dialog);
// Lets the event loop run until the window's running check has ended and its lines are in the
// log; false when it is still running after timeoutMs.
bool WaitForCheckEnd(const ui::MainDialog& dialog, int timeoutMs = 30000);

// The lines logged after the first `from` ones.
QStringList LogTextsFrom(const ui::MainDialog& dialog, int from);
int LogCount(const ui::MainDialog& dialog);

// router_server.py, started on first use and stopped when the test program ends; its status page
// has the address 10.0.0.1.
std::string RouterTestServer();

// How many times router_server.py at hostPort has been asked for path so far.
int RouterRequestCount(const std::string& hostPort, const std::string& path);

// Points the settings at router_server.py's status page (address 10.0.0.1) with markers that
// find it.
void UseRouterServer(AppSettings& settings, const std::string& hostPort);

// The lines of a router fetch that found its address, behind the server text, with the note that
// the fixture's address (10.0.0.1) is a private one.
QStringList FetchAndFindLines(const std::string& hostPort);

// A notice channel for MainDialog::SetNoticeChannels that keeps "title|body" of every notice.
class RecordingNoticeChannel : public ui::NoticeChannel {
 public:
  void Show(const QString& title, const QString& body, bool) override { shown << title + "|" + body; }
  QStringList shown;
};

}  // namespace zepa2::test
