#include "search/budget.h"

#include <algorithm>

namespace search {
namespace {

// The deadline comes this much before the time is up, so that the last
// samples, the threads' meeting and the reply still fit: a share of the
// time, at most a few milliseconds.
constexpr double kMarginShare = 0.06;
constexpr double kMaxMarginMs = 12.0;

}  // namespace

double SecondsSince(Clock::time_point t) {
  return std::chrono::duration<double>(Clock::now() - t).count();
}

double SecondsUntil(Clock::time_point t) {
  return std::chrono::duration<double>(t - Clock::now()).count();
}

Budget TimedBudget(Clock::time_point start, double milliseconds) {
  Budget b;
  b.timed = true;
  b.start = start;
  const double ms =
      std::max(milliseconds - std::min(milliseconds * kMarginShare, kMaxMarginMs), 0.0);
  b.deadline = start + std::chrono::microseconds(static_cast<int64_t>(ms * 1000.0));
  return b;
}

Budget SampleBudget(int64_t samples) {
  Budget b;
  b.timed = false;
  b.start = Clock::now();
  b.deadline = b.start;
  b.sampleLimit = std::max<int64_t>(samples, 1);
  return b;
}

Budget ShareOf(const Budget& b, double share) {
  Budget part = b;
  if (b.timed) {
    const Clock::time_point now = Clock::now();
    if (b.deadline > now) {
      const auto left = std::chrono::duration<double>(b.deadline - now) * share;
      part.deadline = now + std::chrono::duration_cast<Clock::duration>(left);
    }
  } else {
    part.sampleLimit = b.used + static_cast<int64_t>(SamplesLeft(b) * share);
  }
  return part;
}

double SampleRate(const Budget& b) {
  const double seconds = SecondsSince(b.start);
  return seconds > 0 ? b.used / seconds : 0.0;
}

int64_t SamplesLeft(const Budget& b) {
  if (!b.timed) return std::max<int64_t>(b.sampleLimit - b.used, 0);
  const double left = SecondsUntil(b.deadline);
  if (left <= 0) return 0;
  return static_cast<int64_t>(SampleRate(b) * left);
}

}  // namespace search
