// What the search tests share: the linked physics bound into the search
// library, and game records built stone by stone.
#pragma once

#include <cstring>
#include <vector>

#include "korvane/korvane.h"
#include "search/physics.h"

namespace search_test {

inline search::PhysicsCalls LinkedPhysics() {
  search::PhysicsCalls calls;
  calls.simulate = Simulation;
  calls.createShot = CreateShot;
  calls.createHitShot = CreateHitShot;
  calls.seed = KorvaneSeed;
  return calls;
}

inline void BindLinkedPhysics() { search::BindPhysics(LinkedPhysics()); }

struct Stone {
  int index;
  float x, y;
};

// Stone shotIndex is next, every earlier stone out of play unless listed;
// endIndex of lastEnd, sideToMove as given.
inline GameState Position(int shotIndex, const std::vector<Stone>& stones, int endIndex = 0,
                          int lastEnd = 8, int sideToMove = 0) {
  GameState s;
  std::memset(&s, 0, sizeof s);
  s.shotIndex = shotIndex;
  s.endIndex = endIndex;
  s.lastEnd = lastEnd;
  s.sideToMove = static_cast<uint8_t>(sideToMove);
  for (const Stone& st : stones) {
    s.stones[st.index][0] = st.x;
    s.stones[st.index][1] = st.y;
  }
  return s;
}

// s after vec, played with the linked physics and no execution error.
inline GameState Played(GameState s, const ShotVec& vec) {
  Simulation(&s, vec, 0.0f, nullptr, -1);
  return s;
}

}  // namespace search_test
