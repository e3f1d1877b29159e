#include "cli/check_options.h"

#include <charconv>
#include <string_view>

namespace zepa2::cli {
namespace {

// The longest period the settings can give (9999 days); a longer one is a typing error.
constexpr std::int64_t kLongestPeriodSeconds = 9999LL * 86400;

std::optional<std::int64_t> PeriodSecondsOf(std::string_view text) {
  std::int64_t seconds = 0;
  const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), seconds);
  if (ec != std::errc() || end != text.data() + text.size()) return std::nullopt;
  if (seconds < 1 || seconds > kLongestPeriodSeconds) return std::nullopt;
  return seconds;
}

}  // namespace

const char* const kCheckUsage =
    "Usage: zepa2-check [--force] [--dry-run] [--watch [--period SECONDS] [--retry-seconds N]]\n"
    "                   [--print-address] [--trust]\n"
    "       zepa2-check --status [--human]\n"
    "       zepa2-check config list|get|set|set-password|export|import ... (see config --help)\n"
    "Checks the public address with the settings of ZEPA2 and publishes it when it changed.\n"
    "\n"
    "  --force     publish even when the address is unchanged\n"
    "  --dry-run   print each site's page instead of uploading it\n"
    "  --watch     check again at the period set in ZEPA2 until stopped (SIGTERM, SIGINT);\n"
    "              SIGHUP reads the settings file again, SIGUSR1 checks at once; unless the\n"
    "              settings turn events off, a change of this machine's addresses or routes, or\n"
    "              the router's word of a new address, starts a check too\n"
    "  --period SECONDS  with --watch: check again every SECONDS (1 or more) instead of at the\n"
    "              period set in ZEPA2\n"
    "  --retry-seconds N  with --watch: after a failed check, try again N seconds later (60 if\n"
    "              not given), twice as long after each further failure, at most the period\n"
    "  --status    print the last run of either program (JSON) and exit; 1 when there is none\n"
    "  --human     with --status: print it as a short table\n"
    "  --print-address  print the address found (as it would be published) and nothing else on\n"
    "              standard output; the log goes to standard error; nothing is published or stored;\n"
    "              exit status 0 found, 1 not found\n"
    "  --trust     connect to every FTPS, SFTP or HTTPS server in use that has no pinned key,\n"
    "              print the key it shows and pin it in the settings; no check is run\n"
    "  --help      show this help\n"
    "  --version   show the version\n"
    "\n"
    "Exit status: 0 published or nothing to publish, 1 address not found or a site failed,\n"
    "2 usage error or unreadable settings.\n";

std::optional<CheckOptions> ParseCheckOptions(int argc, char** argv, std::string& error) {
  CheckOptions options;
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--force") options.force = true;
    else if (arg == "--dry-run") options.dryRun = true;
    else if (arg == "--watch") options.watch = true;
    else if (arg == "--period") {
      options.periodSeconds = i + 1 < argc ? PeriodSecondsOf(argv[++i]) : std::nullopt;
      if (!options.periodSeconds) {
        error = "zepa2-check: --period takes a whole number of seconds from 1 to " +
                std::to_string(kLongestPeriodSeconds);
        return std::nullopt;
      }
    } else if (arg == "--status") options.status = true;
    else if (arg == "--human") options.human = true;
    else if (arg == "--print-address") options.printAddress = true;
    else if (arg == "--trust") options.trust = true;
    else if (arg == "--retry-seconds" && i + 1 < argc) {
      const std::string_view number = argv[++i];
      const auto [end, problem] =
          std::from_chars(number.data(), number.data() + number.size(), options.retrySeconds);
      if (problem != std::errc() || end != number.data() + number.size() || options.retrySeconds < 1) {
        error = "zepa2-check: --retry-seconds takes a whole number of seconds from 1";
        return std::nullopt;
      }
    } else if (arg == "--help" || arg == "-h") options.help = true;
    else if (arg == "--version") options.version = true;
    else {
      error = "zepa2-check: unknown option '" + std::string(arg) + "' (see --help)";
      return std::nullopt;
    }
  }
  if (options.human && !options.status) {
    error = "zepa2-check: --human goes with --status";
    return std::nullopt;
  }
  if (options.periodSeconds && !options.watch) {
    error = "zepa2-check: --period goes with --watch";
    return std::nullopt;
  }
  if (options.status &&
      (options.force || options.dryRun || options.watch || options.printAddress || options.trust)) {
    error = "zepa2-check: --status runs no check; it takes no other option but --human";
    return std::nullopt;
  }
  return options;
}

}  // namespace zepa2::cli
