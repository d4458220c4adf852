#include "games.h"

#include <omp.h>

#include <vector>

#include "batch.h"
#include "record/shot_record.h"

namespace {

// Keeps the search's samples apart from the stone's own execution error.
constexpr uint64_t kSearchSalt = 0x5ea7c4u;

bool SelfPlay(const Games& g) { return g.config.opponent.kind == OpponentKind::kNone; }

bool AgentToMove(const Games& g, const Game& game) {
  return SelfPlay(g) || SeatToMove(game) == kSeatA;
}

// One stone, its reward added for the agent's side.
void Throw(Games* g, Game* game, ShotVec vec, float* reward) {
  const Seat mover = SeatToMove(*game);
  const Seat side = SelfPlay(*g) ? mover : kSeatA;
  int scoreForA = 0;
  if (!PlayStone(game, g->config.rules, g->physics, vec, &scoreForA)) return;
  if (g->config.reward == RewardKind::kEnd)
    *reward += static_cast<float>(side == kSeatA ? scoreForA : -scoreForA);
  else if (game->over)
    *reward += static_cast<float>(Outcome(*game, side));
}

// The built-in opponent's stones up to the agent's turn, then the outputs.
void Continue(Games* g, int i, const StepOutputs& out) {
  Game& game = g->games[i];
  const OpponentOptions& opponent = g->config.opponent;
  const bool builtIn = opponent.kind == OpponentKind::kClassic || opponent.kind == OpponentKind::kSearch;
  while (builtIn && !game.over && !AgentToMove(*g, game))
    Throw(g, &game,
          OpponentShot(opponent, game.state,
                       StoneSeed(game.seed, game.state.endIndex, game.state.shotIndex) ^ kSearchSalt),
          &out.reward[i]);
  Seat view = kSeatA;
  if (SelfPlay(*g))
    view = game.over ? game.lastThrower : SeatToMove(game);
  Observe(game, g->config.rules, view, out.obs + static_cast<int64_t>(i) * kObsSize);
  out.terminated[i] = game.over ? 1 : 0;
  out.awaiting[i] = !game.over && !AgentToMove(*g, game) ? 1 : 0;
}

// Runs body(i) for every masked game, in threads; one game alone keeps the
// process's threads free for an opponent that searches in parallel.
template <typename Body>
void ForMasked(Games* g, const uint8_t* mask, Body body) {
  const int n = static_cast<int>(g->games.size());
  int threads = g->config.threads > 0 ? g->config.threads : omp_get_num_procs();
  if (threads > n) threads = n;
  if (threads <= 1) {
    for (int i = 0; i < n; ++i)
      if (mask[i]) body(i);
    return;
  }
#pragma omp parallel for num_threads(threads) schedule(dynamic, 1)
  for (int i = 0; i < n; ++i)
    if (mask[i]) body(i);
}

bool QuietOpponent(const Games& g) { return g.config.opponent.kind == OpponentKind::kClassic; }

}  // namespace

ShotVec ActionShot(const PhysicsCalls& physics, ActionKind kind, const float* action) {
  if (kind == ActionKind::kVelocity) return ShotFromRow(action);
  ShotVec vec{};
  physics.createShot(TargetFromRow(action), &vec);
  return vec;
}

void ResetGames(Games* g, const uint8_t* mask, const uint64_t* seeds, const int8_t* hammer,
                const StepOutputs& out) {
  QuietStderr quiet(QuietOpponent(*g));
  ForMasked(g, mask, [&](int i) {
    out.reward[i] = 0.0f;
    StartGame(&g->games[i], g->config.rules, seeds[i], hammer[i]);
    Continue(g, i, out);
  });
}

void StepGames(Games* g, const uint8_t* mask, const float* actions, const uint8_t* restart,
               const uint64_t* seeds, const StepOutputs& out) {
  QuietStderr quiet(QuietOpponent(*g));
  const int n = static_cast<int>(g->games.size());
  std::vector<uint8_t> either(mask, mask + n);
  for (int i = 0; i < n; ++i) either[i] |= restart[i];
  ForMasked(g, either.data(), [&](int i) {
    out.reward[i] = 0.0f;
    Game& game = g->games[i];
    if (restart[i])
      StartGame(&game, g->config.rules, seeds[i], -1);
    else if (!game.over && AgentToMove(*g, game))
      Throw(g, &game, ActionShot(g->physics, g->config.action, actions + 3 * i), &out.reward[i]);
    Continue(g, i, out);
  });
}

void OpponentMoves(Games* g, const uint8_t* mask, const float* actions,
                   const StepOutputs& out) {
  ForMasked(g, mask, [&](int i) {
    Game& game = g->games[i];
    if (!game.over && !AgentToMove(*g, game))
      Throw(g, &game, ActionShot(g->physics, g->config.action, actions + 3 * i), &out.reward[i]);
    Continue(g, i, out);
  });
}
