// Deadlines of the process code, in whole milliseconds for the system's
// waits.
#pragma once

#include <chrono>

using Clock = std::chrono::steady_clock;

// Milliseconds left until deadline, rounded up: a wait with part of a
// millisecond left still waits, rather than coming back at once and being
// asked again in a busy loop. 0 once the deadline has passed.
inline int MsLeft(Clock::time_point deadline) {
  auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now());
  return left.count() < 0 ? 0 : static_cast<int>(left.count());
}
