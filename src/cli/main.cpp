// zepa2-check: one address check with the saved settings of ZEPA2, or a foreground loop of them.
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/check_options.h"
#include "cli/config_command.h"
#include "cli/console_host.h"
#include "cli/signal_watcher.h"
#include "core/check/check_session.h"
#include "core/schedule/check_period.h"
#include "core/outcome/check_aftermath.h"
#include "core/outcome/check_notice.h"
#include "core/notify/notice_sender.h"
#include "core/run/check_report_text.h"
#include "core/outcome/dns_state_file.h"
#include "core/outcome/last_address_file.h"
#include "core/outcome/run_status_file.h"
#include "core/publish/page_publisher.h"
#include "core/publish/page_uploader.h"
#include "core/publish/server_trust.h"
#include "core/settings/settings_load.h"
#include "core/startup/secret_keeping.h"
#include "core/sys/read_file.h"
#include "core/settings/settings_store.h"
#include "core/schedule/event_merger.h"
#include "core/schedule/retry_schedule.h"
#include "core/source/change_listeners.h"
#include "core/sys/descriptor_wait.h"
#include "core/text/cp932.h"
#include "core/text/messages.h"

namespace zepa2::cli {
namespace {

enum ExitStatus { kExitOk = 0, kExitFailed = 1, kExitUsage = 2 };

// Why the settings file cannot be used, or nothing when it can be read. The settings must exist
// and be readable: a companion running on defaults would publish nothing useful and say so nowhere.
std::optional<std::string> SettingsFileProblem(const std::filesystem::path& file) {
  std::error_code ec;
  const auto status = std::filesystem::status(file, ec);
  if (ec && ec != std::errc::no_such_file_or_directory && ec != std::errc::not_a_directory) {
    return "cannot read the settings folder " + file.parent_path().string() + ": " + ec.message();
  }
  if (!std::filesystem::exists(status)) {
    return "no settings file at " + file.string() + "; set ZEPA2 up in its window first.";
  }
  if (!std::filesystem::is_regular_file(status))
    return "the settings file " + file.string() + " is not a file.";
  if (!std::ifstream(file, std::ios::binary)) {
    return "cannot read the settings file " + file.string() + ": " + std::strerror(errno);
  }
  return std::nullopt;
}

// The settings from the file, or the reason they cannot be had.
std::optional<AppSettings> LoadCompanionSettings(const std::filesystem::path& file, std::string& problem) {
  if (auto why = SettingsFileProblem(file)) {
    problem = std::move(*why);
    return std::nullopt;
  }
  AppSettings settings;
  const SettingsLoadReport report = LoadSettingsWithReport(
      settings, file, [] { std::fprintf(stderr, "zepa2-check: %s\n", msg::kBadPasswordChar); });
  if (report.hadUnreadableLines) {
    std::fprintf(stderr, "zepa2-check: some lines of %s could not be read; their defaults are used.\n",
                 file.c_str());
  }
  return settings;
}

// The state the last run left in its files; none before the first publish. A file that is not
// one to read (a FIFO, a device, a folder, an oversized one) is a red line and counts as absent.
RunState ReadRunState(ConsoleHost& host) {
  RunState state;
  std::vector<std::string> refused(3);
  if (auto last = ReadLastAddress(LastAddressFilePath(), &refused[0])) {
    state.lastAddress = std::move(*last);
    state.lastIpv6Address = ReadLastAddress(LastIpv6AddressFilePath(), &refused[1]).value_or("");
    state.owedSites = ReadOwedSites(OwedSitesFilePath(), &refused[2]);
  }
  refused.emplace_back();
  state.dnsTargets = ReadDnsState(DnsStateFilePath(), &refused.back());
  for (const std::string& refusal : refused) {
    if (!refusal.empty())
      host.AppendLog(Cp932(msg::kStateFileRefused) + Utf8ToCp932(refusal), log_color::kRed);
  }
  return state;
}

// The failure told by an earlier run and not yet recovered from; a refused file is a red line and
// counts as none.
std::string ReadToldFailure(ConsoleHost& host) {
  std::string refusal;
  std::string told = ReadLastAddress(ToldFailureFilePath(), &refusal).value_or("");
  if (!refusal.empty()) host.AppendLog(Cp932(msg::kStateFileRefused) + Utf8ToCp932(refusal), log_color::kRed);
  return told;
}

// A site that is not set up did not take the address either: the run failed. So did a DNS target
// that failed, or is stopped or held.
ExitStatus ExitStatusOf(const CheckReport& report) { return CheckFailed(report) ? kExitFailed : kExitOk; }

class Companion {
 public:
  Companion(const CheckOptions& options, AppSettings& settings, const StopToken& stop)
      : options_(options),
        settings_(settings),
        host_(stdout),
        uploader_(host_, &stop),
        publisher_(settings_, host_, uploader_),
        check_(settings_, host_, publisher_, {.stop = &stop}),
        state_(ReadRunState(host_)),
        stop_(stop),
        retry_(std::chrono::seconds(options.retrySeconds)),
        notices_(ReadToldFailure(host_)),
        sender_([this](const std::string& text, LogColor color) { host_.AppendLog(text, color); }, &stop) {}

  // One check; callerLine is the line the window writes before the same kind of run, or null.
  // Like the window's timer, the repeated checks of --watch publish only a changed address, and
  // the sites a failed publish left with an old page.
  ExitStatus RunOnce(const char* callerLine, bool timed) {
    if (callerLine) host_.AppendLog(Cp932(callerLine), log_color::kBlack);
    // A dry run is the window's test run: always forced, and what it leaves is not kept.
    const RunRequest request{.force = !timed && (options_.force || options_.dryRun),
                             .mode = options_.dryRun ? RunMode::ShowPages : RunMode::Publish};
    const CheckReport report = check_.Run(request, state_);
    if (options_.dryRun) return ExitStatusOf(report);
    retry_.Record(LeftWorkOwed(report), report.holdOff);
    const ExitStatus status = StoreState(report);
    // Mail, webhook and heartbeat go on their own thread: a mute server never holds the next check.
    const std::string toldBefore = notices_.toldFailure();
    sender_.Send({settings_, report, notices_.Next(settings_.notify, report)});
    if (notices_.toldFailure() != toldBefore) StoreToldFailure();
    // The status file and the user's command come last: the command may read the state.
    const bool statusWritten = FinishCheck(
        report, settings_, RunStatusFilePath(),
        [this](const std::string& text, LogColor color) { host_.AppendLog(text, color); }, &stop_);
    return statusWritten ? status : kExitFailed;
  }

  // After a publish, the sites that failed are stored beside the address, so the next run serves
  // them; the exit status is the report's unless storing failed.
  ExitStatus StoreState(const CheckReport& report) {
    const ExitStatus dns = StoreDnsState(report);
    if (!IsPublishOutcome(report.outcome)) return dns == kExitOk ? ExitStatusOf(report) : dns;
    state_ = report.state;
    for (const FileWriteResult& written :
         {WriteOwedSites(OwedSitesFilePath(), state_.owedSites),
          WriteLastAddress(LastIpv6AddressFilePath(), state_.lastIpv6Address),
          WriteLastAddress(LastAddressFilePath(), state_.lastAddress)}) {
      if (written.ok()) continue;
      host_.AppendLog(Cp932(msg::kStateFileNotWritten) + Utf8ToCp932(written.reason()), log_color::kRed);
      return kExitFailed;
    }
    return dns == kExitOk ? ExitStatusOf(report) : dns;
  }

  // The DNS targets answer on every run, a publish or not: their file follows each change.
  ExitStatus StoreDnsState(const CheckReport& report) {
    if (report.state.dnsTargets == state_.dnsTargets) return kExitOk;
    state_.dnsTargets = report.state.dnsTargets;
    const FileWriteResult written = WriteDnsState(DnsStateFilePath(), state_.dnsTargets);
    if (written.ok()) return kExitOk;
    host_.AppendLog(Cp932(msg::kStateFileNotWritten) + Utf8ToCp932(written.reason()), log_color::kRed);
    return kExitFailed;
  }

  // The next run, a process of its own, must know what was told.
  void StoreToldFailure() {
    const std::string told = notices_.toldFailure().substr(0, kMaxAddressFileBytes);
    if (const auto written = WriteLastAddress(ToldFailureFilePath(), told); !written.ok())
      host_.AppendLog(Cp932(msg::kStateFileNotWritten) + Utf8ToCp932(written.reason()), log_color::kRed);
  }

  // Waits for the notices of the checks so far: a single run ends only once they are sent.
  void FinishNotices() { sender_.Drain(); }

  // A line of the companion's own in the log (UTF-8 text).
  void Report(const std::string& text, LogColor color) { host_.AppendLog(Cp932(text), color); }

  // When the next timed check comes, after the checks so far.
  const RetrySchedule& retry() const { return retry_; }
  // The address the last publish handed to the sites (CP932).
  const std::string& publishedAddress() const { return state_.lastAddress; }

 private:
  const CheckOptions& options_;
  AppSettings& settings_;
  ConsoleHost host_;
  PageUploader uploader_;
  PagePublisher publisher_;
  CheckSession check_;
  RunState state_;
  const StopToken& stop_;
  RetrySchedule retry_;
  NoticeSequence notices_;
  NoticeSender sender_;  // last: its thread ends before the host it logs to goes away
};

// The address alone on standard output, for scripts; the log goes to standard error.
ExitStatus PrintAddress(const AppSettings& settings, const StopToken& stop) {
  ConsoleHost host(stderr);
  PageUploader uploader(host, &stop);
  PagePublisher publisher(settings, host, uploader);
  CheckSession check(settings, host, publisher, {.stop = &stop});
  const CheckReport found = check.Run({.mode = RunMode::FindOnly}, {});
  if (found.outcome != CheckOutcome::Found) return kExitFailed;
  std::printf("%s\n", Cp932ToUtf8(found.address).c_str());
  return kExitOk;
}

// A settings file that went missing or unreadable after the start is one check's error, not the
// end of the service: it goes on with the settings it read before.
void ReloadSettings(AppSettings& settings, const std::filesystem::path& file, Companion& companion) {
  std::string problem;
  if (auto loaded = LoadCompanionSettings(file, problem)) {
    settings = std::move(*loaded);
  } else {
    companion.Report("zepa2-check: " + problem + " The settings read before are used.", log_color::kRed);
  }
}

// --trust: pins what every unpinned TLS/SFTP server in use shows; the runs after it publish.
bool PinServerKeys(AppSettings& settings, const std::filesystem::path& file, const StopToken& stop) {
  bool allPinned = true;
  for (const LearnedServerKey& learned : PinUnpinnedServers(settings, &stop)) {
    const std::string server = Cp932ToUtf8(learned.server);
    if (learned.key.pin) std::printf(msg::kTrustPrinted, server.c_str(), learned.key.pin->c_str());
    else std::printf(msg::kTrustFailed, server.c_str(), learned.key.reason.c_str());
    allPinned = allPinned && learned.key.pin.has_value();
  }
  if (const SaveResult saved = SaveSettings(settings, file, {}); !saved.ok) {
    std::fprintf(stderr, "zepa2-check: %s\n", saved.error.c_str());
    return false;
  }
  std::fputs(msg::kTrustSaved, stdout);
  std::fflush(stdout);
  return allPinned;
}

int Stopped(Companion& companion) {
  companion.Report(msg::kCompanionStopped, log_color::kBlack);
  return kExitOk;
}

// Prints the last run as the file holds it, or as a table; 1 when there is none to print.
int PrintStatus(bool human) {
  const std::filesystem::path file = RunStatusFilePath();
  const BoundedRead read = ReadRunStatusText(file);
  if (read.kind == BoundedRead::Kind::Refused) {
    std::fprintf(stderr, "%s (%s: %s)\n", msg::kStatusUnreadable, file.c_str(), read.reason.c_str());
    return kExitFailed;
  }
  if (!read.read()) {
    std::fprintf(stderr, "%s (%s)\n", msg::kStatusNone, file.c_str());
    return kExitFailed;
  }
  const std::optional<std::string> text = read.bytes;
  if (!human) {
    std::fwrite(text->data(), 1, text->size(), stdout);
    return kExitOk;
  }
  const std::optional<std::string> table = HumanRunStatus(*text);
  if (!table) {
    std::fprintf(stderr, "%s (%s)\n", msg::kStatusUnreadable, file.c_str());
    return kExitFailed;
  }
  std::fputs(table->c_str(), stdout);
  return kExitOk;
}

// The listeners the settings ask for; the ones there are kept while the settings ask for the same.
void RefreshListeners(std::unique_ptr<ChangeListeners>& listeners, const AppSettings& settings,
                      Companion& companion) {
  ListenerPlan plan = PlanListeners(settings);
  if (listeners && listeners->plan() == plan) return;
  listeners.reset();  // the old ones let go of their ports first
  listeners = std::make_unique<ChangeListeners>(std::move(plan));
  for (const std::string& note : listeners->openingNotes()) companion.Report(note, log_color::kRed);
}

// One wait of --watch at a time: until the timed check, a change the listeners report (merged
// with the changes soon after it), a signal, or a listener's own deadline, whichever comes first.
class WatchWait {
 public:
  using Clock = std::chrono::steady_clock;
  struct Woken {
    bool stop = false;
    bool reload = false;              // SIGHUP: the settings file is read again
    const char* checkLine = nullptr;  // a check is due: the line that says what started it
  };

  explicit WatchWait(SignalWatcher& signals) : signals_(signals) {}

  Woken Wait(Clock::time_point timerDue, bool retrying, ChangeListeners& listeners, Companion& companion) {
    std::optional<Clock::time_point> deadline = timerDue;
    for (const auto& other : {merger_.dueAt(), listeners.nextDeadline()}) {
      if (other && *other < *deadline) deadline = other;
    }
    std::vector<int> descriptors = listeners.descriptors();
    descriptors.push_back(signals_.descriptor());
    WaitForReadable(descriptors, deadline);

    const Clock::time_point now = Clock::now();
    const SignalWatcher::Requests requests = signals_.Take();
    Woken woken{.stop = requests.stop, .reload = requests.reload};
    const ChangeListeners::Taken taken = listeners.Take(now, companion.publishedAddress());
    for (const std::string& note : taken.notes) companion.Report(note, log_color::kRed);
    if (taken.change) {
      if (!merger_.dueAt()) cause_ = *taken.change;
      merger_.Note(now);
    }
    // A signal asks for a check at once, ahead of changes still being merged: its check sees them.
    if (requests.checkNow) woken.checkLine = msg::kRunBySignal;
    else if (merger_.TakeDue(now, false)) woken.checkLine = ChangeCauseLine(cause_);
    else if (now >= timerDue) woken.checkLine = retrying ? msg::kRunAsRetry : msg::kRunByTimer;
    if (woken.checkLine) merger_.Clear();
    return woken;
  }

 private:
  SignalWatcher& signals_;
  EventMerger merger_;
  ChangeCause cause_ = ChangeCause::Network;
};

int Run(const CheckOptions& options) {
  const std::filesystem::path settingsFile = SettingsFilePath();
  std::string problem;
  std::optional<AppSettings> loaded = LoadCompanionSettings(settingsFile, problem);
  if (!loaded) {
    std::fprintf(stderr, "zepa2-check: %s\n", problem.c_str());
    return kExitUsage;
  }
  AppSettings settings = std::move(*loaded);

  StopToken stop;
  SignalWatcher signals(stop);  // before any thread, libcurl's resolver included
  if (options.trust) return PinServerKeys(settings, settingsFile, stop) ? kExitOk : kExitFailed;
  if (options.printAddress) return PrintAddress(settings, stop);
  Companion companion(options, settings, stop);
  // Listening starts before the first check, so that a change during it is not lost.
  std::unique_ptr<ChangeListeners> listeners;
  if (options.watch) RefreshListeners(listeners, settings, companion);
  const char* firstLine = options.dryRun ? msg::kRunAsTest : options.force ? msg::kRunManually : nullptr;
  ExitStatus status = companion.RunOnce(firstLine, false);
  if (signals.stopRequested()) return Stopped(companion);
  if (!options.watch) {
    companion.FinishNotices();
    return status;
  }

  WatchWait wait(signals);
  for (;;) {
    // The wait is measured from its start on the monotonic clock: a reload, a stop and continue
    // or an interrupted wait never starts the period over.
    const auto waitStart = std::chrono::steady_clock::now();
    const bool retrying = companion.retry().failuresInARow() > 0;
    bool retryTold = false;
    const char* checkLine = nullptr;
    while (!checkLine) {
      const std::int64_t period =
          options.periodSeconds.value_or(CheckPeriodSeconds(settings.intervalUnit, settings.interval));
      if (period <= 0) {
        companion.FinishNotices();
        return status;
      }
      const std::chrono::seconds timerWait = companion.retry().NextWait(std::chrono::seconds(period));
      if (retrying && !retryTold) {
        char line[160];
        std::snprintf(line, sizeof line, msg::kRetryFormat, static_cast<long long>(timerWait.count()));
        companion.Report(line, log_color::kBlack);
        retryTold = true;
      }
      const WatchWait::Woken woken = wait.Wait(waitStart + timerWait, retrying, *listeners, companion);
      if (woken.stop) return Stopped(companion);
      if (woken.reload) {
        ReloadSettings(settings, settingsFile, companion);  // SIGHUP: new settings, same wait
        RefreshListeners(listeners, settings, companion);
      }
      checkLine = woken.checkLine;
    }
    // The window may have changed the settings meanwhile.
    ReloadSettings(settings, settingsFile, companion);
    RefreshListeners(listeners, settings, companion);
    status = companion.RunOnce(checkLine, true);
    if (signals.stopRequested()) return Stopped(companion);
  }
}

}  // namespace
}  // namespace zepa2::cli

int main(int argc, char** argv) {
  zepa2::KeepSecretsInProcess();
  using namespace zepa2::cli;
  if (argc >= 2 && std::string_view(argv[1]) == "config")
    return RunConfigCommand(std::vector<std::string>(argv + 2, argv + argc));
  std::string error;
  const auto options = ParseCheckOptions(argc, argv, error);
  if (!options) {
    std::fprintf(stderr, "%s\n", error.c_str());
    return kExitUsage;
  }
  if (options->help) {
    std::fputs(kCheckUsage, stdout);
    return kExitOk;
  }
  if (options->version) {
    std::printf("zepa2-check %s\n", ZEPA2_VERSION);
    return kExitOk;
  }
  if (options->status) return PrintStatus(options->human);
  return Run(*options);
}
