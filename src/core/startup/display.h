// Whether the window system can be reached at all, checked before Qt would abort without one.
#pragma once

namespace zepa2 {

// True when DISPLAY or WAYLAND_DISPLAY is set, or QT_QPA_PLATFORM names a platform to use.
bool DisplayConfigured();

}  // namespace zepa2
