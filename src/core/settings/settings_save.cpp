// Saving the record: the file text in its fixed order, the kept copy of an unreadable file, the atomic write.
#include <algorithm>
#include <fstream>
#include <iterator>
#include <set>
#include <utility>
#include <vector>

#include "core/settings/password_scramble.h"
#include "core/settings/private_file_write.h"
#include "core/settings/setting_fields.h"
#include "core/sys/read_file.h"
#include "core/settings/settings_file_lines.h"
#include "core/settings/settings_layout.h"
#include "core/settings/settings_load.h"
#include "core/settings/settings_value_text.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

// The lines of the old file this version does not know (a newer version's keys and sections), by
// section in the order they came, so that saving keeps them as they were.
using ForeignLines = std::vector<std::pair<std::string, std::vector<std::string>>>;

ForeignLines ForeignLinesOf(const std::filesystem::path& file) {
  const SettingsFileLines old = ReadSettingsFileLines(file);
  std::set<std::string> known;
  for (const SettingField& field : SettingFields()) known.insert(field.key);
  ForeignLines foreign;
  for (const auto& key : old.order) {
    if (known.contains(key.first + "." + key.second)) continue;
    auto section =
        std::find_if(foreign.begin(), foreign.end(), [&](const auto& s) { return s.first == key.first; });
    if (section == foreign.end()) section = foreign.insert(foreign.end(), {key.first, {}});
    section->second.push_back(key.second + "=" + old.values.at(key));
  }
  return foreign;
}

// Writes the record as the file's text, one Name=value line per field, each section followed by
// the foreign lines of its name; foreign sections come last.
class FieldWriter {
 public:
  FieldWriter(const BadPasswordByteNotice& notice, ForeignLines foreign)
      : notice_(notice), foreign_(std::move(foreign)) {}

  void Section(const char* name) {
    EndSection();
    section_ = name;
    ((text_ += '[') += name) += "]\n";
  }

  bool OptionalSection(const char* name, bool present) {
    if (!present) return false;
    Section(name);
    keys_ = PasswordKeyStream();
    return true;
  }

  void Text(const std::string& name, const std::string& field) { Line(name, EscapeSettingsText(field)); }

  void OptionalText(const std::string& name, const std::string& field) {
    if (!field.empty()) Text(name, field);
  }

  void Integer(const std::string& name, int field) { Line(name, FormatSettingsInt(field)); }
  void Integer(const std::string& name, int field, int, int) { Integer(name, field); }
  void Flag(const std::string& name, bool field, int) { Integer(name, field ? 1 : 0); }
  void FlagIfChanged(const std::string& name, bool field, bool byDefault) {
    if (field != byDefault) Flag(name, field, 0);
  }
  // An unusable value goes back exactly as the file spelled it.
  void Source(const std::string& name, AddressSource field, const UnusableValue& unknown) {
    Line(name, unknown.value_or(FormatSettingsInt(static_cast<int>(field))));
  }
  void Mode(const std::string& name, net::TransferMode mode, const UnusableValue& unknown) {
    Line(name, unknown.value_or(FormatSettingsInt(static_cast<int>(mode))));
  }
  void Pin(const std::string& name, const std::string& field, const UnusableValue& unreadable) {
    Line(name, unreadable.value_or(EscapeSettingsText(field)));
  }

  void Secret(const std::string& name, const std::string& field) { Text(name, field); }

  void DnsKind(const std::string& name, zepa2::DnsKind kind, const UnusableValue& unknown) {
    Line(name, unknown.value_or(FormatSettingsInt(static_cast<int>(kind))));
  }
  void DnsRecords(const std::string& name, zepa2::DnsRecords field) {
    Integer(name, static_cast<int>(field));
  }

  template <typename Enum>
  void Choice(const std::string& name, Enum field, Enum) {
    Integer(name, static_cast<int>(field));
  }

  void Password(const std::string& name, const std::string& field) {
    Text(name, ScramblePassword(field, keys_, notice_));
  }

  std::string Take() {
    EndSection();
    for (const auto& [name, lines] : foreign_) {
      ((text_ += '[') += name) += "]\n";
      for (const std::string& line : lines) (text_ += line) += '\n';
    }
    return std::move(text_);
  }

  // The first value whose line the reader would skip as overlong; empty when every line fits.
  const std::string& overlongName() const { return overlongName_; }

 private:
  void EndSection() {
    const auto own =
        std::find_if(foreign_.begin(), foreign_.end(), [&](const auto& s) { return s.first == section_; });
    if (own == foreign_.end()) return;
    for (const std::string& line : own->second) (text_ += line) += '\n';
    foreign_.erase(own);
  }

  void Line(const std::string& name, const std::string& value) {
    if (overlongName_.empty() && name.size() + 1 + value.size() > kMaxSettingsLineBytes) overlongName_ = name;
    (((text_ += name) += '=') += value) += '\n';
  }

  const BadPasswordByteNotice& notice_;
  ForeignLines foreign_;
  std::string section_;
  std::string text_;
  std::string overlongName_;
  PasswordKeyStream keys_;
};

// A file with lines this program could not read may hold settings written by hand or by a newer
// version; it is kept once as <file>.bak before being replaced.
PrivateWriteResult KeepUnreadableOriginal(const std::filesystem::path& file, std::filesystem::path& backup) {
  AppSettings scratch;
  if (!LoadSettingsWithReport(scratch, file, {}).hadUnreadableLines) return {};
  const std::string original = ReadRegularFile(file, kMaxSettingsFileBytes).value_or("");
  backup = file;
  backup += ".bak";
  return WritePrivateFileAtomically(backup, original);
}

}  // namespace

SaveResult SaveSettings(const AppSettings& settings, const std::filesystem::path& file,
                        const BadPasswordByteNotice& notice) {
  FieldWriter writer(notice, ForeignLinesOf(file));
  VisitSettingsLayout(settings, writer);
  const std::string text = writer.Take();
  // A line the reader skips would lose that value at the next start; refuse it while the old
  // file still holds the previous settings.
  if (!writer.overlongName().empty())
    return {false, file.string() + ": " + msg::kSettingsValueTooLong + " (" + writer.overlongName() + ")"};

  std::filesystem::path backup;
  if (auto kept = KeepUnreadableOriginal(file, backup); !kept.ok())
    return {false, DescribePrivateWriteFailure(backup, kept)};
  if (auto written = WritePrivateFileAtomically(file, text); !written.ok())
    return {false, DescribePrivateWriteFailure(file, written)};
  return {};
}

}  // namespace zepa2
