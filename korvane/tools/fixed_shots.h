// A fixed list of noise-0 shots on fixed positions: the benchmark times
// them, and their final stones are the signature of the model's behaviour
// (it changes when behaviour does, on any platform or compiler).
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "sim/records.h"

GameState EmptyEnd(int shotIndex);
// One stone in the house at (2.2, 4.7), shotIndex 1.
GameState SingleStone();
// Twelve stones in play in and around the house, shotIndex 12.
GameState CrowdedEnd();
ShotPos Target(float x, float y, int curl);
ShotVec DrawTo(float x, float y, int curl);
ShotVec HitAt(float x, float y, float power, int curl);

// Random targets of the kind the engine's searches try, from a fixed LCG,
// so that every platform draws the same ones.
struct Lcg {
  uint64_t state = 88172645463325252ull;
  float Next(float lo, float hi);
};
ShotVec RandomShot(Lcg* lcg);

// The shots that end with stones pressed together: a random house of 5 to
// 12 stones that do not touch (past the free guard zone, so that no shot
// is undone), and a shot at one of them. kind 0 draws to
// rest against it (a freeze), 1 taps it (0.2 to 2 m of travel left), 2 hits
// it (2 to 16 m left).
enum ContactShotKind { kFreeze = 0, kTap = 1, kHit = 2 };
void ContactShot(Lcg* lcg, int kind, GameState* state, ShotVec* vec);

// Plays every fixed shot with noise 0 and hands each final record to
// visit; returns the number of shots.
int PlayFixedShots(void (*visit)(const GameState& after, void* context), void* context);

// FNV-1a over the final stones of every fixed shot.
uint64_t FixedShotSignature(int* shots);
