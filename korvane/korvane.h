// Korvane.dll: a curling-stone physics simulator with a plain C interface.
// Units: metres, seconds, m/s. Records are those of sim/records.h.
//
// Every call is safe from many threads at once on distinct records; the
// only state is each thread's own random engine.
//
// A launch vector (vx, vy) is the stone's velocity as it crosses the near
// hog line on the centre line, at (sheet::kCentreX, sheet::kNearHogY) of
// sim/sheet.h; vy < 0 heads for the house.
// curl 0 spins the stone clockwise seen from above and it drifts toward
// smaller x (the thrower's right); curl 1 spins it the other way, toward
// larger x. Any nonzero curl byte counts as 1.
#pragma once

#include <stdint.h>

#include "sim/records.h"

// The version of the model, written into game records; raise it whenever a
// shot can come to rest anywhere else. (A version function would be a sixth
// export; the interface stays the five names.)
#define KORVANE_VERSION "2.0"

#if defined(_WIN32)
#if defined(KORVANE_BUILDING)
#define KORVANE_API extern "C" __declspec(dllexport)
#else
#define KORVANE_API extern "C" __declspec(dllimport)
#endif
#define KORVANE_CALL __cdecl
#else
#define KORVANE_API extern "C" __attribute__((visibility("default")))
#define KORVANE_CALL
#endif

// Throws stone state->shotIndex with vec and a Gaussian execution error of
// standard deviation noise (m, along x and y, of the unobstructed resting
// point), moves every stone until all rest, applies the rules, advances
// shotIndex and sideToMove and, on the sixteenth stone, scores the end.
//
// path: when not null and pathCapacity > 0, receives frames of the motion:
// frame 0 is the instant of release, frames follow every 0.1 s, and the last
// frame written is the moment every stone is at rest. If that needs more
// than pathCapacity frames, the interval is doubled until the shot fits.
// When room is left, the frame after the last one has time < 0.
//
// Returns 1, or 0 when the record could not be played (see README).
KORVANE_API int KORVANE_CALL Simulation(GameState* state, ShotVec vec, float noise, PathFrame* path,
                                        int pathCapacity);

// The launch vector of a draw that rests at target (x, y) with target.curl.
// Returns 1, or 0 when the target is unreachable and the nearest reachable
// draw was written.
KORVANE_API int KORVANE_CALL CreateShot(ShotPos target, ShotVec* out);

// The launch vector whose path passes through target (x, y) with power
// metres of travel still left there.
KORVANE_API int KORVANE_CALL CreateHitShot(ShotPos target, float power, ShotVec* out);

// Score the end would give if it ended as the stones lie now.
KORVANE_API int KORVANE_CALL GetScore(const GameState* state);

// Seeds the calling thread's random engine, so that a caller that plays
// its shots from one thread can replay a game exactly.
KORVANE_API void KORVANE_CALL KorvaneSeed(uint64_t seed);
