// Builds the page to publish (temp.html) from a site's template by filling in the address and time.
#pragma once

#include <ctime>
#include <functional>
#include <string>

namespace zepa2 {

// The built page, in the process's current working folder; it stays after a run.
inline constexpr const char* kTempPageFile = "temp.html";
inline constexpr const char* kAddressToken = "$$IP_ADDRESS$$";
inline constexpr const char* kTimeToken = "$$DAY_TIME$$";

enum class BuildOutcome { PageWritten, TemplateNotOpened, TempFileNotCreated };

using Clock = std::function<std::time_t()>;

// "2001/12/24 09:05:03" in local time.
std::string FormatPageTime(std::time_t when);

// One template line (without its line end) with the tokens filled in, followed by its line ends:
// one LF, plus one more for each address token the line held. Inserted text is never searched
// again. Both tokens start with '$', which is never the second byte of a CP932 character, so a
// plain byte search cannot match inside one.
std::string FillTemplateLine(const std::string& line, const std::string& address, const Clock& now);

// Writes temp.html from the template (a CP932 path) with CR LF line ends; the template's own bytes
// pass through. When the template cannot be opened temp.html is left untouched.
BuildOutcome BuildPage(const std::string& templatePath, const std::string& address, const Clock& now);

}  // namespace zepa2
