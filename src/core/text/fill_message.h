// Filling the numbered places of a message of the table ("%1", "%2", "%3") with texts.
#pragma once

#include <string>
#include <string_view>

namespace zepa2 {

// The message with every %1 replaced by first, %2 by second and %3 by third (UTF-8).
std::string FillMessage(std::string_view text, std::string_view first, std::string_view second = {},
                        std::string_view third = {});

}  // namespace zepa2
