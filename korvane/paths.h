// Path frames of a shot for replays.
#pragma once

#include "korvane/field.h"
#include "sim/records.h"

namespace korvane {

// Sampling interval for a shot lasting `duration` seconds so that its
// frames (one every interval from 0, plus the final one) fit in capacity:
// 0.1 s, doubled until they fit. Also gives the number of frames.
double FrameInterval(double duration, int capacity, int* frames);

// Replays the shot from `start` and writes its frames: one every interval
// from the release, the last at rest showing `final` (the record after the
// rules), then, when room is left, a frame with time -1.
void WritePath(const Field& start, double duration, const GameState& final, PathFrame* path,
               int capacity);

}  // namespace korvane
