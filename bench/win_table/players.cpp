#include "bench/win_table/players.h"

#include <cstring>

#include "bench/greedy/greedy.h"

namespace win_table {
namespace {

greedy::Settings GreedySettings() {
  greedy::Settings settings;
  settings.parallel = false;
  return settings;
}

void PlayGreedy(const GameState& state, const PhysicsCalls& physics, ShotVec* vec) {
  greedy::GreedyShot(state, physics, GreedySettings(), vec);
}

std::string DescribeGreedy() { return greedy::Describe(GreedySettings()); }

}  // namespace

// One line per player.
const Player kPlayers[] = {
    {"greedy", PlayGreedy, DescribeGreedy},
};
const int kPlayerCount = sizeof kPlayers / sizeof kPlayers[0];

const Player* FindPlayer(const char* name) {
  for (const Player& p : kPlayers) {
    if (std::strcmp(p.name, name) == 0) return &p;
  }
  return nullptr;
}

}  // namespace win_table
