// Makes the pictures compiled into the program reachable under ":/" (needed from a static library).
#pragma once

namespace zepa2::ui {

void EnsureResources();

}  // namespace zepa2::ui
