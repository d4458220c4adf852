// Take-out trial search: which of the two hits at one stone removes it more
// often under the simulator's execution error.
#pragma once

#include <cstdint>

#include "sim/records.h"

// Trials of each of the two hit vectors.
constexpr int kTrialCount = 200;

// target must index a stone (0..15): the placement rules only pass rank[0].
// Makes the hits at stone target with curl 0 and curl 1 at the given power,
// plays each kTrialCount times on copies of state, and writes into out the
// one that left the stone outside the house more often (curl 0 on a tie).
// Reports both counts and the choice on the standard error stream.
void TakeoutTrialSearch(const GameState& state, int32_t target, float power, ShotVec* out);

// The vector to play for the two success counts: 1 only when count1 is
// strictly greater.
int ChooseTakeoutVector(unsigned count0, unsigned count1);
