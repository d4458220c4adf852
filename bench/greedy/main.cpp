// curling-greedy: the one-ply greedy player as an engine that a game server
// drives over the same protocol as curling-engine.
#include "app/protocol.h"
#include "bench/greedy/greedy.h"
#include "sim/simulator.h"

namespace {

// The library is bound inside RunEngine, so the calls are read at each GO.
void DecideGreedy(const GameState& state, ShotVec* vec) {
  const PhysicsCalls physics{Simulation, CreateShot, CreateHitShot, GetScore};
  greedy::GreedyShot(state, physics, greedy::Settings{}, vec);
}

}  // namespace

int main() {
  SetShotDecider(DecideGreedy);
  return RunEngine();
}
