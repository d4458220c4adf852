// How much a search may spend: a wall-clock deadline, or a fixed count of
// samples (one candidate throw with its play-out each) that makes the
// search reproducible.
#pragma once

#include <chrono>
#include <cstdint>

namespace search {

using Clock = std::chrono::steady_clock;

struct Budget {
  bool timed = true;
  Clock::time_point start;     // when sampling began, for the rate
  Clock::time_point deadline;  // timed: no sample may start after it
  int64_t sampleLimit = 0;     // untimed: samples allowed in all
  int64_t used = 0;            // samples played so far
};

Budget TimedBudget(Clock::time_point start, double milliseconds);
Budget SampleBudget(int64_t samples);

// Samples per second measured so far; 0 before any was played.
double SampleRate(const Budget& b);

// Samples still affordable: what is left of the count, or what the
// measured rate fits into the time left (a race that runs slower than
// planned is cut at the deadline, every candidate within a sample of the
// others).
int64_t SamplesLeft(const Budget& b);

// A budget for part of a search: share of the time to the deadline, or
// of the samples left; it counts the samples played so far as b does.
Budget ShareOf(const Budget& b, double share);

double SecondsSince(Clock::time_point t);
double SecondsUntil(Clock::time_point t);

}  // namespace search
