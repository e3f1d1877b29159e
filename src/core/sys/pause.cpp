#include "core/sys/pause.h"

#include <thread>

namespace zepa2 {

void SleepPause(std::chrono::milliseconds duration) { std::this_thread::sleep_for(duration); }

}  // namespace zepa2
