// Whether a found address may go into a page: the page is HTML and the address is put in as it stands.
#pragma once

#include <string_view>

namespace zepa2 {

// False when the text holds a byte below 0x20 (a line break, NUL, an escape) or one of < > " ' &,
// which would let text of the router's page (a device name, a log line) into the public page as
// markup. Anything else passes unchanged: the address is otherwise neither trimmed nor checked.
bool IsPublishableAddress(std::string_view address);

}  // namespace zepa2
