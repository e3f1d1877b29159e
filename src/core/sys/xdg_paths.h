// The user's base folders of the XDG layout (configuration, state, runtime).
#pragma once

#include <filesystem>

namespace zepa2 {

// $HOME, or the password database's home folder when HOME is unset.
std::filesystem::path HomeFolder();

// The absolute folder in the environment variable `variable`, or HomeFolder() / fallback when it
// is unset, empty or relative (a relative one would follow the working folder).
std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback);

std::filesystem::path XdgConfigHome();  // ~/.config
std::filesystem::path XdgStateHome();   // ~/.local/state

}  // namespace zepa2
