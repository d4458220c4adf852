// What the runner keeps of one executed shot besides the stones at rest:
// the seed the physics gets for it, the thinned path, and the delivery as
// measured from the path.
#pragma once

#include <cstdint>

#include "record/record.h"

// Kept frames per second of a shot's motion (the library samples at 10).
constexpr double kKeptFramesPerSecond = 4.0;

// The physics seed of one stone, a mix of the game's seed, the end and the
// stone, so that any stone can be re-executed alone and neighbouring
// stones get unrelated random numbers.
uint64_t StoneSeed(uint64_t gameSeed, int endIndex, int shotIndex);

// The frames at about kKeptFramesPerSecond and the last one, for the
// stones that moved; positions rounded to the millimetre.
ShotPath ThinPath(const PathFrame* frames, int frameCount);

// The launch vector of stone `thrown`, measured from its first three
// frames (release and two equal steps after it), to about 1e-4 m/s. False
// when the frames do not allow it.
bool MeasureDelivery(const PathFrame* frames, int frameCount, int thrown, unsigned char curl,
                     ShotVec* out);
