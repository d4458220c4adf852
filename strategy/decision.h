// The shot decision: from the game record to one launch vector. The record
// is only read; every simulated shot is played on a copy of it.
#pragma once

#include <cstdint>

#include "sim/records.h"

// Shots 0..10 (and any lower index) follow the placement rules.
constexpr int32_t kLastPlacementShot = 10;
// From this shotIndex on, the take-out hits harder. Early in the end, with
// the free guard zone still on (shots 0 to 4) and few stones in play, a
// light hit that removes the stone and may leave the shooter near the house
// is worth most; by shot 6 both sides have thrown three stones, guards may
// be taken out, and a heavy hit keeps its line past the stones in front and
// can clear more than one.
constexpr int32_t kFirstHeavyHitShot = 6;
// Power of the take-out hits: metres of travel left at the target.
constexpr float kHeavyHitPower = 16.0f;
constexpr float kLightHitPower = 8.0f;
// A guard rests this far beyond the guarded stone along y, m.
constexpr float kGuardOffset = 2.0f;

// Fills out with the shot to play: the placement rules up to shot 10, the
// random-candidate search after it.
void DecideShot(const GameState& state, ShotVec* out);

// The placement rules: draw to the tee when the thrown stone closest to the
// tee is outside the house, guard it when it is the mover's, and take it out
// (take-out trial search) when it is the opponent's.
void ChoosePlacementShot(const GameState& state, ShotVec* out);

// rank = stone indices with the thrown ones (the first shotIndex, at most all of them)
// sorted by squared tee distance: stable, strict comparisons, the rest in
// identity order.
void RankStonesByTeeDistance(int32_t rank[game::kStonesPerEnd], const GameState& state);
