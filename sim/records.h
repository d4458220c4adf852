// The records that cross the boundary between the engine and the physics
// library Korvane.dll. Their byte layouts are that library's binary
// interface and are fixed to the byte, padding included: both sides include
// this header, and the static asserts below stop any drift.
#pragma once

#include <cstddef>
#include <cstdint>

#include "sim/sheet.h"

// Sheet coordinates, metres, as sim/sheet.h names them: x across the sheet,
// y along it, the thrower at large y.
struct GameState {
  int32_t shotIndex;                  // stones already thrown in this end = index of the next one
  int32_t endIndex;                   // current end, from 0; index into endScore
  int32_t lastEnd;                    // last end of the game as the server states it
  int32_t endScore[game::kEndSlots];  // signed, counted from the side whose sideToMove flag is 0
  uint8_t sideToMove;                 // 0 or 1
  uint8_t padding[3];                 // no meaning; copies carry it along, nothing else touches it
  float stones[game::kStonesPerEnd][2];  // [i][0] = x, [i][1] = y of the i-th stone thrown, m
};

// A target on the sheet with a rotation flag.
struct ShotPos {
  float x;       // m
  float y;       // m
  uint8_t curl;  // 0 or 1; only this byte of the last four has meaning
  uint8_t padding[3];
};

// A launch vector: the stone's velocity as it crosses the near hog line on
// the centre line, m/s, with a rotation flag.
struct ShotVec {
  float vx;      // m/s
  float vy;      // m/s, negative toward the house
  uint8_t curl;  // 0 or 1
  uint8_t padding[3];
};

// One sampled instant of a shot's motion, as Simulation writes it into an
// optional caller buffer for replays. Stones out of play are at (0, 0).
struct PathFrame {
  float time;                            // s since the thrown stone crossed the near hog line
  float stones[game::kStonesPerEnd][2];  // m, same numbering as GameState::stones
};

static_assert(sizeof(GameState) == 184, "GameState is 184 bytes");
static_assert(offsetof(GameState, shotIndex) == 0, "GameState layout");
static_assert(offsetof(GameState, endIndex) == 4, "GameState layout");
static_assert(offsetof(GameState, lastEnd) == 8, "GameState layout");
static_assert(offsetof(GameState, endScore) == 12, "GameState layout");
static_assert(offsetof(GameState, sideToMove) == 52, "GameState layout");
static_assert(offsetof(GameState, padding) == 53, "GameState layout");
static_assert(offsetof(GameState, stones) == 56, "GameState layout");

static_assert(sizeof(ShotPos) == 12, "ShotPos is 12 bytes");
static_assert(offsetof(ShotPos, x) == 0, "ShotPos layout");
static_assert(offsetof(ShotPos, y) == 4, "ShotPos layout");
static_assert(offsetof(ShotPos, curl) == 8, "ShotPos layout");

static_assert(sizeof(ShotVec) == 12, "ShotVec is 12 bytes");
static_assert(offsetof(ShotVec, vx) == 0, "ShotVec layout");
static_assert(offsetof(ShotVec, vy) == 4, "ShotVec layout");
static_assert(offsetof(ShotVec, curl) == 8, "ShotVec layout");

static_assert(sizeof(PathFrame) == 132, "PathFrame is 132 bytes");
static_assert(offsetof(PathFrame, stones) == 4, "PathFrame layout");

// Zeroes every field but the three padding bytes.
void ResetGameState(GameState* state);
