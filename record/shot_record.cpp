#include "record/shot_record.h"

#include <cmath>

#include "sim/splitmix.h"

namespace {

// A stone whose positions stay within this of where it started did not move, m.
constexpr float kMovedAtLeast = 0.001f;
constexpr double kMillimetresPerMetre = 1000.0;

float ToMillimetre(float v) {
  return static_cast<float>(std::round(v * kMillimetresPerMetre) / kMillimetresPerMetre);
}

bool Moved(const PathFrame* frames, int frameCount, int i) {
  for (int f = 1; f < frameCount; ++f)
    if (std::fabs(frames[f].stones[i][0] - frames[0].stones[i][0]) > kMovedAtLeast ||
        std::fabs(frames[f].stones[i][1] - frames[0].stones[i][1]) > kMovedAtLeast)
      return true;
  return false;
}

}  // namespace

uint64_t StoneSeed(uint64_t gameSeed, int endIndex, int shotIndex) {
  const uint64_t stone =
      static_cast<uint64_t>(endIndex) * game::kStonesPerEnd + static_cast<uint64_t>(shotIndex);
  return SplitMix64(SplitMix64(gameSeed, 0) ^ stone, 0);
}

ShotPath ThinPath(const PathFrame* frames, int frameCount) {
  ShotPath path;
  if (frameCount <= 0) return path;
  std::vector<int> kept;
  double next = 0.0;
  for (int f = 0; f < frameCount; ++f) {
    if (f == frameCount - 1 || frames[f].time + 1e-6 >= next) {
      kept.push_back(f);
      while (next <= frames[f].time + 1e-6) next += 1.0 / kKeptFramesPerSecond;
    }
  }
  for (int f : kept) path.times.push_back(frames[f].time);
  for (int i = 0; i < game::kStonesPerEnd; ++i) {
    if (!Moved(frames, frameCount, i)) continue;
    std::vector<std::array<float, 2>> all;
    for (int f : kept)
      all.push_back({ToMillimetre(frames[f].stones[i][0]), ToMillimetre(frames[f].stones[i][1])});
    // Only the frames in which the stone moves, and the one before.
    size_t first = 1, last = all.size() - 1;
    while (first < all.size() && all[first] == all[0]) ++first;
    while (last > first && all[last - 1] == all[last]) --last;
    MovedStone moved;
    moved.stone = i;
    moved.from = static_cast<int>(first - 1);
    moved.points.assign(all.begin() + static_cast<long>(first - 1),
                        all.begin() + static_cast<long>(last + 1));
    path.stones.push_back(moved);
  }
  return path;
}

bool MeasureDelivery(const PathFrame* frames, int frameCount, int thrown, unsigned char curl,
                     ShotVec* out) {
  if (frameCount < 3 || thrown < 0 || thrown >= game::kStonesPerEnd) return false;
  const double t1 = frames[1].time - frames[0].time;
  const double t2 = frames[2].time - frames[0].time;
  if (!(t1 > 0.0) || std::fabs(t2 - 2.0 * t1) > 1e-6) return false;
  // Richardson's extrapolation over the two steps cancels the first-order
  // effect of friction and curl on the mean velocity.
  double v[2];
  for (int c = 0; c < 2; ++c) {
    const double d1 = frames[1].stones[thrown][c] - frames[0].stones[thrown][c];
    const double d2 = frames[2].stones[thrown][c] - frames[0].stones[thrown][c];
    v[c] = (4.0 * d1 - d2) / (2.0 * t1);
  }
  if (!std::isfinite(v[0]) || !std::isfinite(v[1])) return false;
  out->vx = static_cast<float>(v[0]);
  out->vy = static_cast<float>(v[1]);
  out->curl = curl;
  return true;
}
