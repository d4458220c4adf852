// The exported C interface: argument checks and fallbacks around the
// internal C++ functions.
#include <cmath>

#include "korvane/korvane.h"
#include "korvane/motion.h"
#include "korvane/rng.h"
#include "korvane/rules.h"
#include "korvane/sheet.h"
#include "korvane/shot.h"

namespace {

// A draw to the tee, the fallback for a target that is not a number.
void TeeDraw(unsigned char curl, ShotVec* out) {
  double vx, vy;
  korvane::DrawVelocity(sheet::kCentreX, sheet::kTeeY, korvane::CurlBeta(curl),
                        korvane::kMaxLaunchSpeed, &vx, &vy);
  out->vx = static_cast<float>(vx);
  out->vy = static_cast<float>(vy);
  out->curl = curl;
}

void Write(double vx, double vy, unsigned char curl, ShotVec* out) {
  out->vx = static_cast<float>(vx);
  out->vy = static_cast<float>(vy);
  out->curl = curl;
}

}  // namespace

KORVANE_API int KORVANE_CALL Simulation(GameState* state, ShotVec vec, float noise, PathFrame* path,
                                        int pathCapacity) {
  if (!state) return 0;
  return korvane::PlayShot(state, vec, noise, path, pathCapacity, korvane::ThreadRng());
}

KORVANE_API int KORVANE_CALL CreateShot(ShotPos target, ShotVec* out) {
  if (!out) return 0;
  const unsigned char curl = target.curl != 0 ? 1 : 0;
  if (!std::isfinite(target.x) || !std::isfinite(target.y)) {
    TeeDraw(curl, out);
    return 0;
  }
  double vx, vy;
  const bool reachable = korvane::DrawVelocity(target.x, target.y, korvane::CurlBeta(curl),
                                               korvane::kMaxLaunchSpeed, &vx, &vy);
  Write(vx, vy, curl, out);
  return reachable ? 1 : 0;
}

KORVANE_API int KORVANE_CALL CreateHitShot(ShotPos target, float power, ShotVec* out) {
  if (!out) return 0;
  const unsigned char curl = target.curl != 0 ? 1 : 0;
  if (!std::isfinite(target.x) || !std::isfinite(target.y)) {
    TeeDraw(curl, out);
    return 0;
  }
  // No travel left (or no number) is a draw to the target.
  const bool usablePower = std::isfinite(power) && power >= 0;
  const double travel = usablePower ? power : 0.0;
  double vx, vy;
  const bool reachable = korvane::HitVelocity(target.x, target.y, travel, korvane::CurlBeta(curl),
                                              korvane::kMaxLaunchSpeed, &vx, &vy);
  Write(vx, vy, curl, out);
  return reachable && usablePower ? 1 : 0;
}

KORVANE_API int KORVANE_CALL GetScore(const GameState* state) {
  return state ? korvane::ScoreEnd(*state) : 0;
}

KORVANE_API void KORVANE_CALL KorvaneSeed(uint64_t seed) {
  korvane::SeedRng(korvane::ThreadRng(), seed);
}
