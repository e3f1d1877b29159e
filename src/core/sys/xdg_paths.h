// The user's base folders of the XDG layout (configuration, state, cache, runtime).
#pragma once

#include <filesystem>
#include <optional>

namespace zepa2 {

// $HOME, or the password database's home folder when HOME is unset.
std::filesystem::path HomeFolder();

// The absolute folder in the environment variable `variable`, or HomeFolder() / fallback when it
// is unset, empty or relative (a relative one would follow the working folder).
std::filesystem::path XdgFolder(const char* variable, const std::filesystem::path& fallback);

std::filesystem::path XdgConfigHome();  // ~/.config
std::filesystem::path XdgStateHome();   // ~/.local/state
std::filesystem::path XdgCacheHome();   // ~/.cache

// $XDG_RUNTIME_DIR when it is set, absolute and a folder; nothing otherwise (it has no fallback).
std::optional<std::filesystem::path> XdgRuntimeDir();

}  // namespace zepa2
