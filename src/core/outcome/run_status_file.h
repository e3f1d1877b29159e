// The last run kept for `zepa2-check --status` and other tools: $XDG_STATE_HOME/ZEPA/last-run.json.
#pragma once

#include <array>
#include <ctime>
#include <filesystem>
#include <optional>
#include <nlohmann/json.hpp>
#include <string>

#include "core/settings/private_file_write.h"
#include "core/run/check_report.h"
#include "core/settings/app_settings.h"
#include "core/sys/read_file.h"

namespace zepa2 {

// $XDG_STATE_HOME/ZEPA/last-run.json, or ~/.local/state/ZEPA/last-run.json when unset.
std::filesystem::path RunStatusFilePath();

// The name of a site's transfer mode in the file: its row's ("ftp-active", "ftps", …), or
// "unknown" for a number this version does not know.
std::string_view TransferModeName(const FtpSite& site);

// Local time with its offset: "2026-12-10T13:24:19+09:00".
std::string IsoTime(std::time_t when);

// The entries of the file's "sites" and "dns" arrays for a run with settings (see RunStatusJson):
// a webhook's JSON carries the same.
nlohmann::json RunSiteEntries(const CheckReport& report, const AppSettings& settings);
nlohmann::json RunDnsEntries(const CheckReport& report);

// The file's text for a run with settings: outcome, address, ipv6_address, checked_at, last_published_at
// (this run's time when it published something, else lastPublishedAt as it was: an ISO 8601 text or null),
// and per site number, server, mode, result, reason, confirmed (true, false or null when not checked) and
// confirm_reason, and per DNS target (dns) number, kind, hosts, result, code and reason. UTF-8 JSON; texts of
// the settings are converted from CP932.
std::string RunStatusJson(const CheckReport& report, const AppSettings& settings,
                          const std::optional<std::string>& lastPublishedAt);

// Writes the run atomically (0600, folder 0700), carrying the time of the last publish over from
// the file it replaces. "" on success, otherwise "<file>: <reason>".
FileWriteResult WriteRunStatus(const std::filesystem::path& file, const CheckReport& report,
                               const AppSettings& settings);

// The most the status file may hold; a larger one is not ours and is not read.
inline constexpr std::size_t kMaxRunStatusBytes = 1u << 20;

// The file's text, read bounded like every state file (a FIFO or a device is never opened for
// reading, a file over kMaxRunStatusBytes is refused).
BoundedRead ReadRunStatusText(const std::filesystem::path& file);

// The address of the last run as the file holds it (CP932), or nothing when there is none.
std::optional<std::string> LastRunAddress(const std::filesystem::path& file);

// A short table in Japanese (UTF-8) of a file's text, or nothing when it is not such a file.
std::optional<std::string> HumanRunStatus(const std::string& jsonText);

}  // namespace zepa2
