#include "core/settings/settings_load.h"

#include <algorithm>

#include "core/settings/password_scramble.h"
#include "core/settings/settings_file_lines.h"
#include "core/settings/settings_layout.h"
#include "core/settings/settings_value_text.h"

namespace zepa2 {
namespace {

// Fills the record's fields from the file's raw values; a missing or unreadable value keeps the
// record's default.
class FieldReader {
 public:
  FieldReader(const SettingsFileLines& lines, const BadPasswordByteNotice& notice, bool& hadUnreadable)
      : lines_(lines), notice_(notice), hadUnreadable_(hadUnreadable) {}

  void Section(const char* name) { section_ = name; }

  bool OptionalSection(const char* name, bool) {
    Section(name);
    keys_ = PasswordKeyStream();
    return true;
  }

  void Text(const std::string& name, std::string& field) {
    if (const std::string* raw = Find(name)) {
      if (auto text = UnescapeSettingsText(*raw)) field = std::move(*text);
      else hadUnreadable_ = true;
    }
  }

  void OptionalText(const std::string& name, std::string& field) { Text(name, field); }

  void Integer(const std::string& name, int& field) {
    if (const std::string* raw = Find(name)) {
      if (auto number = ParseSettingsInt(*raw)) field = *number;
      else hadUnreadable_ = true;
    }
  }

  void Integer(const std::string& name, int& field, int lowest, int highest) {
    Integer(name, field);
    field = std::clamp(field, lowest, highest);
  }

  // The check reads each flag as it always has: ROUTER only when it is 1, the others when not 0.
  void Flag(const std::string& name, bool& field, int onValue) {
    int number = field ? 1 : 0;
    Integer(name, number);
    field = onValue != 0 ? number == onValue : number != 0;
  }

  void FlagIfChanged(const std::string& name, bool& field, bool) { Flag(name, field, 0); }

  // A source, mode or kind this version cannot use is kept as the file spells it, and what it
  // governs is refused: read as the default, a site set up for TLS would log in in clear.
  void Source(const std::string& name, AddressSource& field, UnusableValue& unknown) {
    Choice(name, unknown, [&field](int number) {
      const bool known = number >= 0 && number <= static_cast<int>(AddressSource::NatPmp);
      if (known) field = static_cast<AddressSource>(number);
      return known;
    });
  }

  void Mode(const std::string& name, net::TransferMode& mode, UnusableValue& unknown) {
    Choice(name, unknown, [&mode](int number) {
      const std::optional<net::TransferMode> known = net::TransferModeOfSetting(number);
      if (known) mode = *known;
      return known.has_value();
    });
  }

  void Secret(const std::string& name, std::string& field) { Text(name, field); }

  // Empty is no target, as 0 is.
  void DnsKind(const std::string& name, zepa2::DnsKind& kind, UnusableValue& unknown) {
    const std::string* raw = Find(name);
    if (!raw || raw->empty()) return;
    Choice(name, unknown, [&kind](int number) {
      const std::optional<zepa2::DnsKind> known = DnsKindOfSetting(number);
      if (known) kind = *known;
      return known.has_value();
    });
  }

  // A pin that cannot be read must not leave the server unpinned: the field holds the spelling,
  // which is no pin, so that every connection refuses it, and the check names it.
  void Pin(const std::string& name, std::string& field, UnusableValue& unreadable) {
    const std::string* raw = Find(name);
    if (!raw) return;
    if (auto text = UnescapeSettingsText(*raw)) {
      field = std::move(*text);
    } else {
      field = *raw;
      unreadable = *raw;
      hadUnreadable_ = true;
    }
  }

  // A number outside the three choices reads as the nearest one.
  void DnsRecords(const std::string& name, zepa2::DnsRecords& field) {
    int number = static_cast<int>(field);
    Integer(name, number, 0, static_cast<int>(zepa2::DnsRecords::Both));
    field = static_cast<zepa2::DnsRecords>(number);
  }

  template <typename Enum>
  void Choice(const std::string& name, Enum& field, Enum last) {
    int number = static_cast<int>(field);
    Integer(name, number, 0, static_cast<int>(last));
    field = static_cast<Enum>(number);
  }

  void Password(const std::string& name, std::string& field) {
    std::string stored;
    Text(name, stored);
    field = ScramblePassword(stored, keys_, notice_);
  }

 private:
  // Sets the field through take() when the value is a number it knows; otherwise keeps the value.
  template <typename Take>
  void Choice(const std::string& name, UnusableValue& unknown, Take take) {
    const std::string* raw = Find(name);
    if (!raw) return;
    const std::optional<int> number = ParseSettingsInt(*raw);
    if (!number) hadUnreadable_ = true;
    if (!number || !take(*number)) unknown = *raw;
  }

  const std::string* Find(const std::string& name) const {
    auto it = lines_.values.find({section_, name});
    return it == lines_.values.end() ? nullptr : &it->second;
  }

  const SettingsFileLines& lines_;
  const BadPasswordByteNotice& notice_;
  bool& hadUnreadable_;
  std::string section_;
  PasswordKeyStream keys_;
};

}  // namespace

SettingsLoadReport LoadSettingsWithReport(AppSettings& settings, const std::filesystem::path& file,
                                          const BadPasswordByteNotice& notice) {
  const SettingsFileLines lines = ReadSettingsFileLines(file);
  SettingsLoadReport report;
  report.fileFound = lines.found;
  report.hadUnreadableLines = lines.hadUnreadableLines;
  AppSettings loaded;
  FieldReader reader(lines, notice, report.hadUnreadableLines);
  VisitSettingsLayout(loaded, reader);
  settings = std::move(loaded);
  return report;
}

void LoadSettings(AppSettings& settings, const std::filesystem::path& file,
                  const BadPasswordByteNotice& notice) {
  LoadSettingsWithReport(settings, file, notice);
}

}  // namespace zepa2
