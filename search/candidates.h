// The shots a search weighs: draws over the house and the guard zone,
// freezes to and come-arounds behind each stone, hits on each stone at
// several weights and lines (hit-and-stay, hit-and-roll either way, taps
// and raises of own stones, peels of guards), each with both turns.
#pragma once

#include <cstdint>
#include <vector>

#include "search/physics.h"
#include "sim/records.h"

namespace search {

enum class ShotKind : uint8_t {
  kDraw,        // comes to rest at a target in or near the house
  kGuard,       // comes to rest in the guard zone
  kFreeze,      // comes to rest against the front of a stone
  kComeAround,  // comes to rest behind a stone
  kHit,         // strikes an opponent's stone
  kRaise,       // strikes an own stone (a tap or a raise)
  kPeel,        // strikes a guard hard enough to take both out
  kThrough,     // goes through the house and out (a blank with the hammer)
};

const char* ShotKindName(ShotKind kind);

struct Candidate {
  ShotVec vec;
  ShotKind kind;
  int8_t stone;  // the stone it is played at; -1 for none
  float x, y;    // its target, m
  float power;   // metres of travel left at the target (hits), else 0
};

// Which shots to offer, and how densely.
struct CandidateDensity {
  bool houseGrid;  // a square grid over the house instead of rings
  float gridStep;  // m, of that grid
  bool guards;     // offer guards
  bool manyHits;   // more weights and lines per stone
};

CandidateDensity DensityFor(int shotIndex);

// Appends the candidates for the side to move in state. While the free
// guard zone holds, no hard hit is aimed at an opponent's guard: the rules
// would take the thrown stone out instead.
void GenerateCandidates(const GameState& state, const PhysicsCalls& physics,
                        const CandidateDensity& density, std::vector<Candidate>* out);

// The candidate's aim as a point, with a launch vector made for it.
Candidate MakeDraw(const PhysicsCalls& physics, ShotKind kind, int stone, float x, float y,
                   int curl);
Candidate MakeHit(const PhysicsCalls& physics, ShotKind kind, int stone, float x, float y,
                  float power, int curl);

// Appends shots near c, for a local search around a good candidate: a
// draw's target moved a little each way, a hit's aim moved sideways and
// its weight changed. c is taken by value: it may be an element of out.
void AddNeighbours(const PhysicsCalls& physics, Candidate c, std::vector<Candidate>* out);

// True for a stone in the free guard zone: between the far hog line and
// the tee line, outside the house.
bool InFreeGuardZone(float x, float y);

}  // namespace search
