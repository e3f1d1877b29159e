// The fixed pauses between steps: real sleeps in the program, a function that returns at once in tests.
#pragma once

#include <chrono>
#include <functional>

namespace zepa2 {

using PauseFunction = std::function<void(std::chrono::milliseconds)>;

// Blocks the calling thread for the whole duration.
void SleepPause(std::chrono::milliseconds duration);

}  // namespace zepa2
