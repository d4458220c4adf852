#include "korvane/paths.h"

#include <cmath>

#include "korvane/sheet.h"

namespace korvane {
namespace {

constexpr double kBaseInterval = 0.1;  // s
// A sample closer than this to the end of the shot merges into the final frame, s.
constexpr double kMergeWindow = 1e-6;

int FramesFor(double duration, double interval) {
  if (!(duration > kMergeWindow)) return 1;
  const double samples = std::floor((duration - kMergeWindow) / interval) + 1.0;
  return samples > 1e9 ? 1000000000 : static_cast<int>(samples) + 1;
}

void ClearFrame(PathFrame* frame, float time) {
  frame->time = time;
  for (auto& stone : frame->stones) {
    stone[0] = static_cast<float>(sheet::kOutX);
    stone[1] = static_cast<float>(sheet::kOutY);
  }
}

}  // namespace

double FrameInterval(double duration, int capacity, int* frames) {
  double interval = kBaseInterval;
  int n = FramesFor(duration, interval);
  while (n > capacity && n > 2) {
    interval *= 2.0;
    n = FramesFor(duration, interval);
  }
  *frames = n;
  return interval;
}

void WritePath(const Field& start, double duration, const GameState& final, PathFrame* path,
               int capacity) {
  int frames = 0;
  const double interval = FrameInterval(duration, capacity, &frames);
  int written = 0;
  if (frames <= capacity) {
    Field replay = start;
    FrameSink sink;
    sink.interval = interval;
    sink.limit = frames - 1;
    sink.frames = path;
    RunToRest(&replay, &sink);
    written = sink.next;
  }
  // With room for one frame only, that frame is the final one.
  PathFrame& last = path[written < capacity ? written : capacity - 1];
  ClearFrame(&last, static_cast<float>(duration));
  const int thrown =
      final.shotIndex < game::kStonesPerEnd ? final.shotIndex + 1 : game::kStonesPerEnd;
  for (int i = 0; i < thrown && i < game::kStonesPerEnd; ++i) {
    last.stones[i][0] = final.stones[i][0];
    last.stones[i][1] = final.stones[i][1];
  }
  ++written;
  if (written < capacity) ClearFrame(&path[written], -1.0f);
}

}  // namespace korvane
