// The rules the dialogs hold settings values to, for every other way a value is set (the
// configuration command): one place, so a value the window refuses is refused everywhere.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "core/settings/app_settings.h"

namespace zepa2 {

// Inclusive range of a number field.
struct NumberRange {
  int lowest;
  int highest;
};

// The range a control of the window allows for the field ("SYSTEM.INTERVAL": its edit, "FTP.MIRROR":
// the count drop-down, "SYSTEM.TIMENO": the unit button); nothing when any number goes.
std::optional<NumberRange> DialogRangeOf(std::string_view key);

// Why the number is refused for the field (UTF-8, the dialog's own words where it has them).
std::optional<std::string> NumberProblem(std::string_view key, int value, NumberRange range);

// What the dialogs refuse on OK in a whole record: a pin that is no pin, and a line break or NUL in
// a field that goes onto the wire. Nothing when the record would be accepted.
std::optional<std::string> RecordProblem(const AppSettings& settings);

// What the FTP dialog refuses on OK in one site (index 0..4): a line break or NUL in a field that
// goes onto the wire, and an S3 region that is no region name.
std::optional<std::string> SiteFieldProblem(const FtpSite& site, int index);

// Why a target's suffix is refused, naming the field as name: no interface identifier, all
// zeros, or longer than the host part its prefix length leaves. Nothing for an empty one.
std::optional<std::string> DnsSuffixProblem(const std::string& suffix, std::string_view name);

}  // namespace zepa2
