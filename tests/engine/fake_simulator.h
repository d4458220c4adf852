// In-process stand-ins for the simulator entry points, installed into the
// engine's globals, with the same scripted behaviour as the test-double
// Korvane.dll: CreateShot returns the target as the vector, CreateHitShot
// returns (x, -y), a draw rests exactly on its target, a hit removes its
// target stone while the hit quota of its curl lasts, and the sixteenth
// stone scores the end into slots 0..9 only. Safe to call from many threads.
#pragma once

#include <atomic>

#include "sim/records.h"

struct FakeScript {
  long hitSuccesses[2] = {0, 0};  // hits per curl that remove their target
  int score = 0;                  // score of every completed end ...
  int scoreStone = -1;            // ... or, when 0..15, +score if this stone is left
                                  // of the centre line and -score otherwise
  bool keepThrownStone = false;   // a hit's thrown stone rests on the tee
};

struct FakeCounts {
  std::atomic<long> simulation{0};
  std::atomic<long> createShot{0};
  std::atomic<long> createHitShot{0};
  std::atomic<long> heavyHits{0};     // power 16
  std::atomic<long> lightHits{0};     // power 8
  std::atomic<long> badArguments{0};  // Simulation not given (0.145, null, -1)
  std::atomic<long> threads{0};       // distinct threads that called Simulation
  std::atomic<long> hitsPlayed[2] = {{0}, {0}};
};

extern FakeCounts fakeCounts;

// Resets the counts and points the engine's entry points at the fakes.
void InstallFakeSimulator(const FakeScript& script);

// The centre line, where the scripted score changes sign, m.
constexpr float kFakeCentreLineX = 2.375f;
