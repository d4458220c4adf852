#include "korvane/shot.h"

#include <cmath>
#include <cstring>

#include "korvane/field.h"
#include "korvane/motion.h"
#include "korvane/paths.h"
#include "korvane/rules.h"
#include "korvane/sheet.h"

namespace korvane {
namespace {

bool OwnedByMover(int stone, int shotIndex) { return (stone & 1) == (shotIndex & 1); }

// Thrown stones that are not on the sheet go to the reset position; the
// others become resting bodies of the field.
void SetUpField(GameState* state, Field* field) {
  const int thrown = state->shotIndex;
  for (int i = 0; i < thrown; ++i) {
    const double x = state->stones[i][0];
    const double y = state->stones[i][1];
    if (OnSheet(x, y)) {
      PlaceAtRest(&field->body[i], x, y);
    } else {
      state->stones[i][0] = static_cast<float>(sheet::kOutX);
      state->stones[i][1] = static_cast<float>(sheet::kOutY);
    }
  }
}

// Final positions under the removal rules, judged on the coordinates as
// they will be stored: a rest point in play in double precision may round
// to a float out of play, and would then be removed by the next shot
// without being touched. Stones that moved must rest in play; the
// delivered stone short of the hog line stays only if it struck another.
void ApplyRemovals(const Field& field, int thrownIndex, GameState* state) {
  for (int i = 0; i <= thrownIndex; ++i) {
    const Body& b = field.body[i];
    float x = static_cast<float>(sheet::kOutX), y = static_cast<float>(sheet::kOutY);
    if (b.present) {
      double rx, ry;
      RestPoint(b.motion, &rx, &ry);
      x = static_cast<float>(rx);
      y = static_cast<float>(ry);
      const bool kept = i == thrownIndex ? (InPlay(x, y) || (b.struck && OnSheet(x, y)))
                                         : (!b.moved || InPlay(x, y));
      if (!kept) {
        x = static_cast<float>(sheet::kOutX);
        y = static_cast<float>(sheet::kOutY);
      }
    }
    state->stones[i][0] = x;
    state->stones[i][1] = y;
  }
}

// The free guard zone: an opponent's guard put out of play by this shot
// means the shot is undone and the delivered stone removed.
bool GuardZoneBroken(const GameState& before, const GameState& after, int thrownIndex) {
  if (thrownIndex >= game::kGuardZoneShots) return false;
  for (int i = 0; i < thrownIndex; ++i) {
    if (OwnedByMover(i, thrownIndex)) continue;
    if (!InGuardZone(before.stones[i][0], before.stones[i][1])) continue;
    if (!InPlay(after.stones[i][0], after.stones[i][1])) return true;
  }
  return false;
}

// Moves every stone to rest and applies the removal rules and the free
// guard zone to the record.
void Resolve(Field* field, int thrown, const GameState& before, GameState* state) {
  RunToRest(field, nullptr);
  ApplyRemovals(*field, thrown, state);
  if (GuardZoneBroken(before, *state, thrown)) {
    std::memcpy(state->stones, before.stones, sizeof before.stones);
    state->stones[thrown][0] = static_cast<float>(sheet::kOutX);
    state->stones[thrown][1] = static_cast<float>(sheet::kOutY);
  }
}

void FinishEnd(GameState* state) {
  const int score = ScoreEnd(*state);
  if (state->endIndex >= 0 && state->endIndex < game::kEndSlots)
    state->endScore[state->endIndex] = score;
  state->endIndex = SaturatingIncrement(state->endIndex);
}

}  // namespace

bool PerturbedDelivery(ShotVec vec, double dx, double dy, double* vx, double* vy) {
  const double beta = CurlBeta(vec.curl);
  double ux = vec.vx, uy = vec.vy;
  bool usable = std::isfinite(ux) && std::isfinite(uy);
  if (!usable) {
    ux = 0;
    uy = 0;
  }
  // Floats squared stay far inside the range of a double.
  const double speed = std::sqrt(ux * ux + uy * uy);
  if (speed > kMaxLaunchSpeed) {
    ux *= kMaxLaunchSpeed / speed;
    uy *= kMaxLaunchSpeed / speed;
    usable = false;
  }
  if (!std::isfinite(dx) || !std::isfinite(dy)) {
    dx = 0;
    dy = 0;
    usable = false;
  }
  if (dx == 0 && dy == 0) {
    *vx = ux;
    *vy = uy;
    return usable;
  }
  // Move the unobstructed resting point by (dx, dy) and solve the closed
  // form backwards for the delivery that rests there.
  double rx, ry;
  RestFrom(kReleaseX, kReleaseY, ux, uy, beta, &rx, &ry);
  if (!DrawVelocity(rx + dx, ry + dy, beta, kMaxLaunchSpeed, vx, vy)) usable = false;
  return usable;
}

int PlayShot(GameState* state, ShotVec vec, float noise, PathFrame* path, int pathCapacity,
             Rng* rng, ShotStats* stats) {
  if (state->shotIndex < 0 || state->shotIndex >= game::kStonesPerEnd) {
    state->shotIndex = SaturatingIncrement(state->shotIndex);
    return 0;
  }
  const int thrown = state->shotIndex;
  Field field;
  SetUpField(state, &field);
  const GameState before = *state;

  bool usable = true;
  double dx = 0, dy = 0;
  if (noise > 0 && std::isfinite(noise)) {
    NormalPair(rng, &dx, &dy);
    dx *= noise;
    dy *= noise;
  } else if (noise != 0) {
    usable = false;  // negative, NaN or infinite error: played without one
  }
  double vx, vy;
  if (!PerturbedDelivery(vec, dx, dy, &vx, &vy)) usable = false;

  Body& stone = field.body[thrown];
  stone = Body{};
  stone.present = true;
  stone.moved = true;
  stone.motion = MakeMotion(0, kReleaseX, kReleaseY, vx, vy, CurlBeta(vec.curl));
  if (path && pathCapacity > 0) {
    // The replay for the frames starts from the sheet as it was at release.
    const Field start = field;
    Resolve(&field, thrown, before, state);
    WritePath(start, field.endTime, *state, path, pathCapacity);
  } else {
    Resolve(&field, thrown, before, state);
  }

  if (stats) {
    stats->contacts = field.collisions;
    stats->refinements = field.refinements;
    stats->limitsReached = field.limitsReached;
  }
  state->shotIndex = thrown + 1;
  state->sideToMove = state->sideToMove == 0 ? 1 : 0;
  if (state->shotIndex == game::kStonesPerEnd) FinishEnd(state);
  return usable ? 1 : 0;
}

}  // namespace korvane
