#include "search/candidates.h"

#include <cmath>

#include "search/end_value.h"
#include "sim/sheet.h"
#include "sim/tee_geometry.h"

namespace search {
namespace {

constexpr float kStoneRadius = static_cast<float>(sheet::kStoneRadius);
constexpr float kFarHogY = static_cast<float>(sheet::kFarHogY);
// Rings of draw targets around the tee (away from a fine grid), m.
constexpr float kDrawRings[] = {0.55f, 1.15f, 1.7f};
constexpr int kDrawRingPoints[] = {8, 8, 6};
// The guard targets: how far in front of the tee, and how far off centre, m.
constexpr float kGuardDepths[] = {1.2f, 2.6f};
constexpr float kGuardOffsets[] = {0.0f, -0.55f, 0.55f};
// A freeze rests this far in front of the stone's centre: two radii and a
// hair, m.
constexpr float kFreezeGap = 2 * kStoneRadius + 0.01f;
// A come-around rests this far behind a stone, m, off its line by one of
// these, m: a stone drifts only about 0.04 of the path it has left, so it
// cannot tuck straight behind a guard; the first aim whose noise-free
// path clears the stone is kept.
constexpr float kBehindDepths[] = {0.9f, 1.8f};
constexpr float kBehindOffsets[] = {0.15f, -0.15f, 0.3f, -0.3f, 0.45f, -0.45f};
// A clean come-around rests within this of its aim, m.
constexpr float kCleanRest = 0.02f;
// Hit weights, m of travel left at the stone: a tap or raise, a soft hit,
// a firm takeout, a peel; and the sideways aims of a roll, m.
constexpr float kTapPower = 1.8f;
constexpr float kRaisePower = 4.0f;
constexpr float kSoftHitPower = 9.0f;
constexpr float kFirmHitPower = 16.0f;
constexpr float kPeelPower = 28.0f;
constexpr float kRollOffset = 0.1f;
// A local search moves a draw's target this far, m, a hit's aim this far
// sideways, m, and its weight by these factors.
constexpr float kNudge = 0.06f;
constexpr float kAimNudge = 0.03f;
constexpr float kWeightFactors[] = {0.75f, 1.3f};
// Through the house: passes the tee with this much travel left, m.
constexpr float kThroughPower = 10.0f;
// The dense menu of the hammer shot: weights and aims.
constexpr float kDenseHitPowers[] = {1.2f, 2.5f, 4.0f, 7.0f, 11.0f, 16.0f, 24.0f};
constexpr float kDenseHitOffsets[] = {-0.16f, -0.08f, 0.0f, 0.08f, 0.16f};

void AddDraw(const PhysicsCalls& p, std::vector<Candidate>* out, ShotKind kind, int stone, float x,
             float y) {
  for (int curl = 0; curl < 2; ++curl) out->push_back(MakeDraw(p, kind, stone, x, y, curl));
}

void AddHit(const PhysicsCalls& p, std::vector<Candidate>* out, ShotKind kind, int stone, float x,
            float y, float power) {
  for (int curl = 0; curl < 2; ++curl) {
    out->push_back(MakeHit(p, kind, stone, x, y, power, curl));
  }
}

void AddHouseDraws(const PhysicsCalls& p, const CandidateDensity& d, std::vector<Candidate>* out) {
  if (d.houseGrid) {
    const float reach = kHouseReach + 0.05f;
    const int steps = static_cast<int>(reach / d.gridStep);
    for (int i = -steps; i <= steps; ++i) {
      for (int j = -steps; j <= steps; ++j) {
        const float dx = i * d.gridStep;
        const float dy = j * d.gridStep;
        if (dx * dx + dy * dy > reach * reach) continue;
        AddDraw(p, out, ShotKind::kDraw, -1, kTeeX + dx, kTeeY + dy);
      }
    }
    return;
  }
  AddDraw(p, out, ShotKind::kDraw, -1, kTeeX, kTeeY);
  for (int r = 0; r < 3; ++r) {
    for (int k = 0; k < kDrawRingPoints[r]; ++k) {
      // The outer ring keeps to the front and sides, where stones stay useful.
      const double turn = r == 2 ? 3.14159265 * k / (kDrawRingPoints[r] - 1)
                                 : 2 * 3.14159265 * k / kDrawRingPoints[r];
      const float x = kTeeX + kDrawRings[r] * static_cast<float>(std::cos(turn));
      const float y = kTeeY + kDrawRings[r] * static_cast<float>(std::sin(turn));
      AddDraw(p, out, ShotKind::kDraw, -1, x, y);
    }
  }
}

bool RestsCleanly(const PhysicsCalls& p, const GameState& s, const Candidate& c, int stone) {
  GameState t = s;
  p.simulate(&t, c.vec, 0.0f, nullptr, -1);
  const int thrown = s.shotIndex;
  return std::fabs(t.stones[thrown][0] - c.x) < kCleanRest &&
         std::fabs(t.stones[thrown][1] - c.y) < kCleanRest &&
         t.stones[stone][0] == s.stones[stone][0] && t.stones[stone][1] == s.stones[stone][1];
}

void AddComeArounds(const PhysicsCalls& p, const GameState& s, int i, std::vector<Candidate>* out) {
  const float x = s.stones[i][0];
  const float y = s.stones[i][1];
  for (int curl = 0; curl < 2; ++curl) {
    for (const float depth : kBehindDepths) {
      for (const float off : kBehindOffsets) {
        const Candidate c = MakeDraw(p, ShotKind::kComeAround, i, x + off, y - depth, curl);
        if (RestsCleanly(p, s, c, i)) {
          out->push_back(c);
          break;
        }
      }
    }
  }
}

void AddStoneShots(const PhysicsCalls& p, const GameState& s, const CandidateDensity& d, int i,
                   std::vector<Candidate>* out) {
  const float x = s.stones[i][0];
  const float y = s.stones[i][1];
  const bool own = (i & 1) == (s.shotIndex & 1);
  const bool guard = !IsInHouse(x, y) && y > kTeeY;
  // The free guard zone protects the opponent's guards from removal.
  const bool protectedGuard = !own && s.shotIndex < game::kGuardZoneShots && InFreeGuardZone(x, y);

  AddDraw(p, out, ShotKind::kFreeze, i, x, y + kFreezeGap);
  if (y > kTeeY) AddComeArounds(p, s, i, out);
  const ShotKind light = own ? ShotKind::kRaise : ShotKind::kHit;
  AddHit(p, out, light, i, x, y, kTapPower);
  AddHit(p, out, light, i, x, y, kRaisePower);
  if (protectedGuard) return;
  if (d.manyHits) {
    for (const float power : kDenseHitPowers) {
      for (const float off : kDenseHitOffsets) {
        AddHit(p, out, guard && power > 20 ? ShotKind::kPeel : ShotKind::kHit, i, x + off, y,
               power);
      }
    }
    return;
  }
  for (const float off : {0.0f, -kRollOffset, kRollOffset}) {
    AddHit(p, out, ShotKind::kHit, i, x + off, y, kSoftHitPower);
    AddHit(p, out, ShotKind::kHit, i, x + off, y, kFirmHitPower);
  }
  if (guard) AddHit(p, out, ShotKind::kPeel, i, x, y, kPeelPower);
}

}  // namespace

const char* ShotKindName(ShotKind kind) {
  switch (kind) {
    case ShotKind::kDraw:
      return "draw";
    case ShotKind::kGuard:
      return "guard";
    case ShotKind::kFreeze:
      return "freeze";
    case ShotKind::kComeAround:
      return "come-around";
    case ShotKind::kHit:
      return "hit";
    case ShotKind::kRaise:
      return "raise";
    case ShotKind::kPeel:
      return "peel";
    case ShotKind::kThrough:
      return "through";
  }
  return "?";
}

CandidateDensity DensityFor(int shotIndex) {
  if (shotIndex == game::kStonesPerEnd - 1) return {true, 0.15f, false, true};
  return {false, 0.0f, shotIndex < game::kStonesPerEnd - 3, false};
}

void AddNeighbours(const PhysicsCalls& physics, Candidate c, std::vector<Candidate>* out) {
  const int curl = c.vec.curl;
  if (c.power > 0) {
    for (const float off : {-kAimNudge, kAimNudge}) {
      out->push_back(MakeHit(physics, c.kind, c.stone, c.x + off, c.y, c.power, curl));
    }
    for (const float f : kWeightFactors) {
      out->push_back(MakeHit(physics, c.kind, c.stone, c.x, c.y, c.power * f, curl));
    }
    return;
  }
  const float moves[4][2] = {{kNudge, 0}, {-kNudge, 0}, {0, kNudge}, {0, -kNudge}};
  for (const auto& m : moves) {
    out->push_back(MakeDraw(physics, c.kind, c.stone, c.x + m[0], c.y + m[1], curl));
  }
}

bool InFreeGuardZone(float x, float y) { return y > kTeeY && y < kFarHogY && !IsInHouse(x, y); }

Candidate MakeDraw(const PhysicsCalls& physics, ShotKind kind, int stone, float x, float y,
                   int curl) {
  Candidate c{};
  c.kind = kind;
  c.stone = static_cast<int8_t>(stone);
  c.x = x;
  c.y = y;
  ShotPos pos{};
  pos.x = x;
  pos.y = y;
  pos.curl = static_cast<uint8_t>(curl);
  physics.createShot(pos, &c.vec);
  return c;
}

Candidate MakeHit(const PhysicsCalls& physics, ShotKind kind, int stone, float x, float y,
                  float power, int curl) {
  Candidate c{};
  c.kind = kind;
  c.stone = static_cast<int8_t>(stone);
  c.x = x;
  c.y = y;
  c.power = power;
  ShotPos pos{};
  pos.x = x;
  pos.y = y;
  pos.curl = static_cast<uint8_t>(curl);
  physics.createHitShot(pos, power, &c.vec);
  return c;
}

void GenerateCandidates(const GameState& state, const PhysicsCalls& physics,
                        const CandidateDensity& density, std::vector<Candidate>* out) {
  AddHouseDraws(physics, density, out);
  if (density.guards) {
    for (const float depth : kGuardDepths) {
      for (const float off : kGuardOffsets) {
        AddDraw(physics, out, ShotKind::kGuard, -1, kTeeX + off, kTeeY + kHouseReach + depth);
      }
    }
  }
  for (int curl = 0; curl < 2; ++curl) {
    out->push_back(MakeHit(physics, ShotKind::kThrough, -1, kTeeX, kTeeY, kThroughPower, curl));
  }
  const int thrown = state.shotIndex < game::kStonesPerEnd ? state.shotIndex : 0;
  for (int i = 0; i < thrown; ++i) {
    if (StoneInPlay(state.stones[i][0], state.stones[i][1])) {
      AddStoneShots(physics, state, density, i, out);
    }
  }
}

}  // namespace search
