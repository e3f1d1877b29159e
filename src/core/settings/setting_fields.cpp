#include "core/settings/setting_fields.h"

#include <functional>
#include <utility>

#include "core/settings/secret_reference.h"
#include "core/settings/setting_rules.h"
#include "core/settings/settings_layout.h"
#include "core/settings/settings_value_text.h"
#include "core/text/fill_message.h"
#include "core/text/messages.h"

namespace zepa2 {
namespace {

// One field of a record: its key, kind, and how it is spelled and set. `take` answers why a
// spelling is refused, or nothing once the field holds it.
struct FieldSlot {
  std::string key;
  SettingKind kind;
  std::function<std::string()> spell;
  std::function<std::optional<std::string>(std::string_view)> take;
};

std::optional<int> ParseNumber(std::string_view key, std::string_view spelled, std::string& problem) {
  const std::optional<int> number = ParseSettingsInt(spelled);
  if (!number) problem = FillMessage(msg::kConfigNotANumber, key);
  return number;
}

// Binds every field of one record to a slot, walking the layout table the file is read and
// written by, so that a field added there is a key here too.
class SlotCollector {
 public:
  explicit SlotCollector(std::vector<FieldSlot>& slots) : slots_(slots) {}

  void Section(const char* name) { section_ = name; }
  // Every target's keys exist, set or not: setting one is how a first target is made.
  bool OptionalSection(const char* name, bool) {
    Section(name);
    return true;
  }

  void Text(const std::string& name, std::string& field) { AddText(name, field, SettingKind::Text); }
  void Secret(const std::string& name, std::string& field) { AddText(name, field, SettingKind::Secret); }
  void Password(const std::string& name, std::string& field) { AddText(name, field, SettingKind::Secret); }
  void OptionalText(const std::string& name, std::string& field) { Text(name, field); }

  void Integer(const std::string& name, int& field) {
    const std::string key = Key(name);
    AddNumber(
        name, [&field] { return field; },
        [&field, key](int value) -> std::optional<std::string> {
          if (auto range = DialogRangeOf(key))
            if (auto problem = NumberProblem(key, value, *range)) return problem;
          field = value;
          return std::nullopt;
        });
  }

  void Integer(const std::string& name, int& field, int lowest, int highest) {
    AddRanged(
        name, [&field] { return field; }, [&field](int value) { field = value; }, {lowest, highest});
  }

  void Flag(const std::string& name, bool& field, int) {
    AddRanged(
        name, [&field] { return field ? 1 : 0; }, [&field](int value) { field = value != 0; }, {0, 1});
  }
  void FlagIfChanged(const std::string& name, bool& field, bool) { Flag(name, field, 0); }

  void Source(const std::string& name, AddressSource& field, UnusableValue& unknown) {
    const std::string key = Key(name);
    const NumberRange sources{static_cast<int>(AddressSource::RouterPage),
                              static_cast<int>(AddressSource::NatPmp)};
    AddChoice(
        name, [&field] { return static_cast<int>(field); }, unknown,
        [&field, key, sources](int value) -> std::optional<std::string> {
          if (auto problem = NumberProblem(key, value, sources)) return problem;
          field = static_cast<AddressSource>(value);
          return std::nullopt;
        });
  }

  // A mode this version cannot use stays as it is until a known one is set; setting an unknown
  // one is refused, as the dialog's drop-down offers only the known.
  void Mode(const std::string& name, net::TransferMode& mode, UnusableValue& unknown) {
    const std::string key = Key(name);
    AddChoice(
        name, [&mode] { return static_cast<int>(mode); }, unknown,
        [&mode, key](int value) -> std::optional<std::string> {
          const std::optional<net::TransferMode> known = net::TransferModeOfSetting(value);
          if (!known) return FillMessage(msg::kConfigUnknownMode, key, ModeList());
          mode = *known;
          return std::nullopt;
        });
  }

  // As a transfer mode: a kind this version cannot use stays until a known one is set.
  void DnsKind(const std::string& name, zepa2::DnsKind& kind, UnusableValue& unknown) {
    const std::string key = Key(name);
    const NumberRange kinds{0, static_cast<int>(DnsKinds().size()) - 1};
    AddChoice(
        name, [&kind] { return static_cast<int>(kind); }, unknown,
        [&kind, key, kinds](int value) -> std::optional<std::string> {
          if (auto problem = NumberProblem(key, value, kinds)) return problem;
          kind = *DnsKindOfSetting(value);
          return std::nullopt;
        });
  }

  // A pin the file could not read is listed as it is spelled until another is set.
  void Pin(const std::string& name, std::string& field, UnusableValue& unreadable) {
    AddText(name, field, SettingKind::Text);
    FieldSlot& slot = slots_.back();
    slot.spell = [&field, &unreadable] { return unreadable.value_or(EscapeSettingsText(field)); };
    slot.take = [take = std::move(slot.take), &unreadable](std::string_view spelled) {
      std::optional<std::string> problem = take(spelled);
      if (!problem) unreadable.reset();
      return problem;
    };
  }

  void DnsRecords(const std::string& name, zepa2::DnsRecords& field) {
    AddRanged(
        name, [&field] { return static_cast<int>(field); },
        [&field](int value) { field = static_cast<zepa2::DnsRecords>(value); },
        {static_cast<int>(zepa2::DnsRecords::A), static_cast<int>(zepa2::DnsRecords::Both)});
  }

  template <typename Enum>
  void Choice(const std::string& name, Enum& field, Enum last) {
    AddRanged(
        name, [&field] { return static_cast<int>(field); },
        [&field](int value) { field = static_cast<Enum>(value); }, {0, static_cast<int>(last)});
  }

 private:
  std::string Key(const std::string& name) const { return section_ + "." + name; }

  static std::string ModeList() {
    std::string list;
    for (const net::TransferModeRow& row : net::TransferModes()) {
      if (!list.empty()) list += ", ";
      list += std::to_string(static_cast<int>(row.mode)) + " " + row.caption;
    }
    return list;
  }

  void AddText(const std::string& name, std::string& field, SettingKind kind) {
    const std::string key = Key(name);
    slots_.push_back({key, kind, [&field] { return EscapeSettingsText(field); },
                      [&field, key](std::string_view spelled) -> std::optional<std::string> {
                        std::optional<std::string> text = UnescapeSettingsText(spelled);
                        if (!text) return FillMessage(msg::kConfigNotCp932, key);
                        field = std::move(*text);
                        return std::nullopt;
                      }});
  }

  void AddNumber(const std::string& name, std::function<int()> get,
                 std::function<std::optional<std::string>(int)> set) {
    const std::string key = Key(name);
    slots_.push_back({key, SettingKind::Number, [get] { return FormatSettingsInt(get()); },
                      [set, key](std::string_view spelled) -> std::optional<std::string> {
                        std::string problem;
                        const std::optional<int> number = ParseNumber(key, spelled, problem);
                        if (!number) return problem;
                        return set(*number);
                      }});
  }

  // A number spelled as the file held it while unknown; a value that set() takes makes it known.
  void AddChoice(const std::string& name, std::function<int()> get, UnusableValue& unknown,
                 std::function<std::optional<std::string>(int)> set) {
    AddNumber(name, get, [&unknown, set = std::move(set)](int value) -> std::optional<std::string> {
      std::optional<std::string> problem = set(value);
      if (!problem) unknown.reset();
      return problem;
    });
    slots_.back().spell = [get, &unknown] { return unknown.value_or(FormatSettingsInt(get())); };
  }

  void AddRanged(const std::string& name, std::function<int()> get, std::function<void(int)> set,
                 NumberRange range) {
    const std::string key = Key(name);
    AddNumber(name, std::move(get), [set, key, range](int value) -> std::optional<std::string> {
      if (auto problem = NumberProblem(key, value, range)) return problem;
      set(value);
      return std::nullopt;
    });
  }

  std::vector<FieldSlot>& slots_;
  std::string section_;
};

std::vector<FieldSlot> SlotsOf(AppSettings& settings) {
  std::vector<FieldSlot> slots;
  SlotCollector collector(slots);
  VisitSettingsLayout(settings, collector);
  return slots;
}

const FieldSlot* Find(const std::vector<FieldSlot>& slots, std::string_view key) {
  for (const FieldSlot& slot : slots)
    if (slot.key == key) return &slot;
  return nullptr;
}

// Sets the field on a copy and keeps the copy only when the whole record passes the dialogs' checks.
std::optional<std::string> Change(AppSettings& settings, std::string_view key,
                                  const std::function<std::optional<std::string>(const FieldSlot&)>& set) {
  AppSettings changed = settings;
  const std::vector<FieldSlot> slots = SlotsOf(changed);
  const FieldSlot* slot = Find(slots, key);
  if (!slot) return FillMessage(msg::kConfigUnknownKey, key);
  if (auto problem = set(*slot)) return problem;
  if (auto problem = RecordProblem(changed)) return problem;
  settings = std::move(changed);
  return std::nullopt;
}

}  // namespace

std::vector<SettingField> SettingFields() {
  AppSettings scratch;
  std::vector<SettingField> fields;
  for (const FieldSlot& slot : SlotsOf(scratch)) fields.push_back({slot.key, slot.kind});
  return fields;
}

std::optional<SettingField> FindSettingField(std::string_view key) {
  for (SettingField& field : SettingFields())
    if (field.key == key) return std::move(field);
  return std::nullopt;
}

std::optional<std::string> GetSettingValue(const AppSettings& settings, std::string_view key) {
  AppSettings copy = settings;
  const std::vector<FieldSlot> slots = SlotsOf(copy);
  const FieldSlot* slot = Find(slots, key);
  if (!slot) return std::nullopt;
  return slot->spell();
}

std::optional<std::string> SetSettingValue(AppSettings& settings, std::string_view key,
                                           std::string_view spelled) {
  return Change(settings, key, [spelled](const FieldSlot& slot) -> std::optional<std::string> {
    if (slot.kind == SettingKind::Secret) {
      // The secret itself would stay in the shell's history and show in every process list.
      if (!spelled.empty() && !ParseSecretReference(spelled))
        return FillMessage(msg::kConfigSecretLiteral, slot.key);
      if (auto problem = SecretReferenceProblem(spelled))
        return FillMessage(msg::kConfigBadReference, slot.key, *problem);
    }
    return slot.take(spelled);
  });
}

std::optional<std::string> SetSecretValue(AppSettings& settings, std::string_view key,
                                          std::string_view secret) {
  return Change(settings, key, [secret](const FieldSlot& slot) -> std::optional<std::string> {
    if (slot.kind != SettingKind::Secret) return FillMessage(msg::kConfigNotSecret, slot.key);
    return slot.take(EscapeSettingsText(secret));
  });
}

}  // namespace zepa2
