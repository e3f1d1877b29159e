#include "cli/config_command.h"

#include <termios.h>
#include <unistd.h>

#include <cstdio>
#include <iostream>
#include <optional>
#include <string>
#include <string_view>

#include "cli/locale_text.h"
#include "core/settings/keyring_store.h"
#include "core/settings/secret_reference.h"
#include "core/settings/setting_fields.h"
#include "core/settings/settings_file_lines.h"
#include "core/settings/settings_load.h"
#include "core/settings/settings_store.h"
#include "core/text/cp932.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2::cli {
namespace {

enum ConfigStatus { kConfigOk = 0, kConfigFailed = 1, kConfigRefused = 2 };

constexpr std::string_view kHidden = "********";

const char* const kConfigUsage =
    "Usage: zepa2-check config list\n"
    "       zepa2-check config get SECTION.KEY\n"
    "       zepa2-check config set SECTION.KEY VALUE\n"
    "       zepa2-check config set-password SECTION.KEY [--keyring]\n"
    "       zepa2-check config export\n"
    "       zepa2-check config import FILE\n"
    "Values are spelled as in the settings file (\\\\ for a backslash, \\xHH for a byte). A password\n"
    "is read from standard input by set-password, or set as a reference: keyring:, credential:NAME,\n"
    "file:PATH or env:NAME.\n";

int Refuse(const std::string& why) {
  std::fprintf(stderr, "zepa2-check: %s\n", Utf8ToLocale(why).c_str());
  return kConfigRefused;
}

int Usage() {
  std::fputs(kConfigUsage, stderr);
  return kConfigRefused;
}

std::string SectionOf(const std::string& key) { return key.substr(0, key.find('.')); }
std::string NameOf(const std::string& key) { return key.substr(key.find('.') + 1); }

// A secret never reaches the screen: a reference is shown (it says where, not what), the secret
// itself as a mask.
std::string Shown(const SettingField& field, const std::string& value) {
  if (field.kind != SettingKind::Secret || value.empty()) return value;
  // The spelling of a reference is its own text: references are ASCII apart from a path.
  if (ParseSecretReference(value)) return value;
  return std::string(kHidden);
}

// The settings as the window would load them; a file not made yet gives the defaults, which is
// how a server without a desktop starts.
std::optional<AppSettings> LoadForConfig(const std::filesystem::path& file) {
  std::error_code ec;
  if (std::filesystem::exists(file, ec) && !std::filesystem::is_regular_file(file, ec)) {
    Refuse("the settings file " + file.string() + " is not a file.");
    return std::nullopt;
  }
  AppSettings settings;
  const SettingsLoadReport report = LoadSettingsWithReport(
      settings, file, [] { std::fprintf(stderr, "zepa2-check: %s\n", msg::kBadPasswordChar); });
  if (std::filesystem::exists(file, ec) && !report.fileFound) {
    Refuse("cannot read the settings file " + file.string() + ".");
    return std::nullopt;
  }
  return settings;
}

int Save(const AppSettings& settings, const std::filesystem::path& file) {
  const SaveResult saved =
      SaveSettings(settings, file, [] { std::fprintf(stderr, "zepa2-check: %s\n", msg::kBadPasswordChar); });
  if (!saved.ok) {
    std::fprintf(stderr, "zepa2-check: %s\n", saved.error.c_str());
    return kConfigFailed;
  }
  std::fputs(Utf8ToLocale(msg::kConfigSaved).c_str(), stdout);
  return kConfigOk;
}

int List(const AppSettings& settings) {
  for (const SettingField& field : SettingFields()) {
    const std::string value = GetSettingValue(settings, field.key).value_or("");
    std::printf("%s=%s\n", field.key.c_str(), Utf8ToLocale(Shown(field, value)).c_str());
  }
  return kConfigOk;
}

int Get(const AppSettings& settings, const std::string& key) {
  const std::optional<SettingField> field = FindSettingField(key);
  if (!field) return Refuse(FillMessage(msg::kConfigUnknownKey, key));
  std::printf("%s\n", Utf8ToLocale(Shown(*field, GetSettingValue(settings, key).value_or(""))).c_str());
  return kConfigOk;
}

int Set(AppSettings& settings, const std::filesystem::path& file, const std::string& key,
        std::string_view value) {
  const std::optional<std::string> utf8 = LocaleToUtf8(value);
  if (!utf8) return Refuse(msg::kConfigArgumentNotText);
  if (auto problem = SetSettingValue(settings, key, *utf8)) return Refuse(*problem);
  return Save(settings, file);
}

// Echo stays off while a terminal types the secret, and comes back however the read ends.
class HiddenInput {
 public:
  HiddenInput() : terminal_(::isatty(STDIN_FILENO) != 0) {
    if (!terminal_ || ::tcgetattr(STDIN_FILENO, &saved_) != 0) {
      terminal_ = false;
      return;
    }
    termios quiet = saved_;
    quiet.c_lflag &= ~static_cast<tcflag_t>(ECHO);
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &quiet);
    std::fputs(Utf8ToLocale(msg::kConfigPasswordPrompt).c_str(), stderr);
    std::fflush(stderr);
  }
  ~HiddenInput() {
    if (!terminal_) return;
    ::tcsetattr(STDIN_FILENO, TCSAFLUSH, &saved_);
    std::fputc('\n', stderr);
  }
  HiddenInput(const HiddenInput&) = delete;
  HiddenInput& operator=(const HiddenInput&) = delete;

 private:
  bool terminal_;
  termios saved_{};
};

// The first line of standard input, without its line end.
std::string ReadSecretLine() {
  HiddenInput hidden;
  std::string line;
  std::getline(std::cin, line);
  if (!line.empty() && line.back() == '\r') line.pop_back();
  return line;
}

int SetPassword(AppSettings& settings, const std::filesystem::path& file, const std::string& key,
                bool keyring) {
  const std::optional<SettingField> field = FindSettingField(key);
  if (!field) return Refuse(FillMessage(msg::kConfigUnknownKey, key));
  if (field->kind != SettingKind::Secret) return Refuse(FillMessage(msg::kConfigNotSecret, key));
  const std::string typed = ReadSecretLine();
  if (typed.empty()) return Refuse(msg::kConfigPasswordNone);
  const std::optional<std::string> utf8 = LocaleToUtf8(typed);
  if (!utf8) return Refuse(msg::kConfigArgumentNotText);
  if (keyring) {
    // The keyring holds text; a run takes it back as CP932, as the window's password box gives it.
    const KeyringAnswer stored = StoreKeyringSecret(key, *utf8);
    if (!stored.secret) {
      std::fprintf(stderr, "zepa2-check: %s\n", stored.problem.c_str());
      return kConfigFailed;
    }
    if (auto problem = SetSettingValue(settings, key, "keyring:")) return Refuse(*problem);
    return Save(settings, file);
  }
  // In the file the secret is what the window's password box would hold: CP932.
  const std::optional<std::string> cp932 = Utf8ToCp932Exactly(*utf8);
  if (!cp932) return Refuse(FillMessage(msg::kConfigNotCp932, key));
  if (auto problem = SetSecretValue(settings, key, *cp932)) return Refuse(*problem);
  return Save(settings, file);
}

// The settings file's text without a single secret line: what a user may keep in version
// control or copy to another machine.
int Export(const AppSettings& settings) {
  std::string section;
  for (const SettingField& field : SettingFields()) {
    if (SectionOf(field.key) != section) {
      section = SectionOf(field.key);
      std::printf("[%s]\n", section.c_str());
    }
    if (field.kind == SettingKind::Secret) continue;
    std::printf("%s=%s\n", NameOf(field.key).c_str(),
                GetSettingValue(settings, field.key).value_or("").c_str());
  }
  return kConfigOk;
}

// Takes every value an exported file holds through the same checks as `set`; the secrets stay as
// they are. Nothing is saved unless every value is taken.
int Import(AppSettings& settings, const std::filesystem::path& file, const std::filesystem::path& from) {
  const SettingsFileLines lines = ReadSettingsFileLines(from);
  if (!lines.found) return Refuse(FillMessage(msg::kConfigImportUnreadable, from.string()));
  for (const SettingField& field : SettingFields()) {
    const auto it = lines.values.find({SectionOf(field.key), NameOf(field.key)});
    if (it == lines.values.end()) continue;
    if (field.kind == SettingKind::Secret) {
      std::fprintf(stderr, "zepa2-check: %s\n",
                   FillMessage(msg::kConfigImportSecretSkipped, field.key).c_str());
      continue;
    }
    // A value the file already holds needs no check: a mode of a newer version round-trips.
    if (GetSettingValue(settings, field.key) == it->second) continue;
    if (auto problem = SetSettingValue(settings, field.key, it->second)) return Refuse(*problem);
  }
  for (const auto& [where, value] : lines.values) {
    if (!FindSettingField(where.first + "." + where.second))
      std::fprintf(stderr, "zepa2-check: %s\n",
                   FillMessage(msg::kConfigImportUnknown, where.first + "." + where.second).c_str());
  }
  return Save(settings, file);
}

}  // namespace

int RunConfigCommand(const std::vector<std::string>& args) {
  UseUserLocale();
  if (args.empty()) return Usage();
  const std::string& command = args[0];
  const std::filesystem::path file = SettingsFilePath();
  const auto wants = [&args](std::size_t count) { return args.size() == count; };

  if (command == "--help" || command == "help") {
    std::fputs(kConfigUsage, stdout);
    return kConfigOk;
  }
  const bool known = (command == "list" && wants(1)) || (command == "get" && wants(2)) ||
                     (command == "set" && wants(3)) || (command == "export" && wants(1)) ||
                     (command == "import" && wants(2)) ||
                     (command == "set-password" && (wants(2) || (wants(3) && args[2] == "--keyring")));
  if (!known) return Usage();

  std::optional<AppSettings> settings = LoadForConfig(file);
  if (!settings) return kConfigRefused;
  if (command == "list") return List(*settings);
  if (command == "get") return Get(*settings, args[1]);
  if (command == "set") return Set(*settings, file, args[1], args[2]);
  if (command == "set-password") return SetPassword(*settings, file, args[1], wants(3));
  if (command == "export") return Export(*settings);
  return Import(*settings, file, args[1]);
}

}  // namespace zepa2::cli
