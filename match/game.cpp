#include "match/game.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <ctime>
#include <vector>

#include "match/engine_link.h"
#include "match/protocol.h"
#include "match/version.h"
#include "record/shot_record.h"

namespace {

// Longest wait for an engine to read a command that has no reply, ms.
constexpr double kCommandWaitMs = 2000.0;

std::string WithoutLineEnd(std::string command) {
  if (!command.empty() && command.back() == '\n') command.pop_back();
  return command;
}

int CountFrames(const std::vector<PathFrame>& frames) {
  int n = 0;
  while (n < kPathCapacity && frames[n].time >= 0.0f) ++n;
  return n;
}

std::string UtcNow() {
  const std::time_t now = std::time(nullptr);
  char text[32] = "";
  if (const std::tm* utc = std::gmtime(&now))
    std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%SZ", utc);
  return text;
}

void Tally(const ShotAnswer& answer, EngineSummary* engine) {
  if (answer.goSent) {
    engine->goCount++;
    engine->thinkMsTotal += answer.thinkMs;
    if (answer.thinkMs > engine->thinkMsMax) engine->thinkMsMax = answer.thinkMs;
  }
  if (answer.status != StoneStatus::kPlayed) engine->stonesLost++;
}

// The record an end starts from: every stone at the reset position, the
// first thrower to move, the scores of earlier ends in the slots there are.
GameState StartOfEnd(const GameRecord& game, int endIndex, int lastEnd, Seat first) {
  GameState state;
  std::memset(&state, 0, sizeof state);
  state.endIndex = endIndex;
  state.lastEnd = lastEnd;
  state.sideToMove = static_cast<uint8_t>(SideFlag(first));
  for (size_t k = 0; k < game.table.endScores.size() && k < game::kEndSlots; ++k)
    state.endScore[k] = game.table.endScores[k];
  return state;
}

// One stone: ask the engine to move, execute its reply (or throw the stone
// out of play), keep the runner's own counters authoritative.
void PlayStone(EngineLink* link, const RunnerPhysics& physics, GameRecord* game, EndRecord* end,
               GameState* state, int k, const GameObserver& observer,
               std::vector<PathFrame>* frames) {
  const GameSettings& settings = game->settings;
  StoneRecord stone;
  stone.shotIndex = k;
  stone.seat = SeatOfStone(end->firstThrower, k);
  state->shotIndex = k;
  state->endIndex = end->endIndex;
  state->sideToMove = static_cast<uint8_t>(SideFlag(stone.seat));
  std::memcpy(stone.before, state->stones, sizeof stone.before);
  const std::string setState =
      FormatSetState(k, end->endIndex, state->lastEnd, SideFlag(stone.seat));
  const std::string position = FormatPosition(state->stones);
  stone.setState = WithoutLineEnd(setState);
  stone.position = WithoutLineEnd(position);

  ShotAnswer answer = AskForShot(link, setState, position, settings.goTimeoutMs, settings.pauseMs);
  Tally(answer, &game->engines[stone.seat]);
  stone.status = answer.status;
  stone.reply = answer.reply;
  stone.thinkMs = answer.thinkMs;
  stone.vec = answer.vec;
  stone.note = answer.note;

  int frameCount = 0;
  if (answer.status == StoneStatus::kPlayed) {
    // Seeded per stone, so that a replay can re-execute any stone alone.
    stone.physicsSeed = StoneSeed(game->seed, end->endIndex, k);
    physics.seed(stone.physicsSeed);
    (*frames)[0].time = -1.0f;
    physics.simulate(state, answer.vec, settings.noise, frames->data(), kPathCapacity);
    frameCount = CountFrames(*frames);
    stone.path = ThinPath(frames->data(), frameCount);
    stone.executedKnown =
        MeasureDelivery(frames->data(), frameCount, k, answer.vec.curl, &stone.executed);
  } else {
    state->stones[k][0] = 0.0f;
    state->stones[k][1] = 0.0f;
  }
  state->shotIndex = k + 1;
  state->endIndex = end->endIndex;
  state->sideToMove = static_cast<uint8_t>(SideFlag(Opponent(stone.seat)));
  std::memcpy(stone.after, state->stones, sizeof stone.after);
  stone.scoreAsItLies = physics.score(state);
  end->stones.push_back(stone);
  if (observer.onStone)
    observer.onStone(StoneView{game, end, &end->stones.back(), frames->data(), frameCount});
}

bool Forfeit(Seat seat, const std::string& reason, GameRecord* game) {
  game->forfeitSeat = seat;
  game->forfeitReason = reason;
  return false;
}

// Whether the engine plays on after its last exchange: one whose thinking
// time is spent forfeits, and so does one that has ended, unless the game
// lets it be restarted (it has lost the stone it was asked for already).
bool PlaysOn(EngineLink* link, Seat seat, GameRecord* game) {
  if (link->budgetLeftMs <= 0.0) return Forfeit(seat, "thinking time for the game used up", game);
  if (!link->dead) return true;
  const std::string why = link->deadReason;
  if (!game->settings.recover) return Forfeit(seat, why, game);
  if (!RestartEngine(link))
    return Forfeit(seat, why + "; restart failed: " + link->deadReason, game);
  GreetEngine(link, static_cast<int>(game->settings.goTimeoutMs));
  return PlaysOn(link, seat, game);
}

// firstStones: stones already in play, thrown in order from stone 0.
// False when an engine forfeited; the end is then left unfinished.
bool PlayEnd(EngineLink links[2], const RunnerPhysics& physics, GameRecord* game, int endIndex,
             Seat first, const std::vector<std::array<float, 2>>& firstStones,
             const GameObserver& observer) {
  game->ends.push_back(EndRecord{});
  EndRecord* end = &game->ends.back();
  end->endIndex = endIndex;
  end->firstThrower = first;
  GameState state =
      StartOfEnd(*game, endIndex, LastEndToSend(game->settings.ends, endIndex), first);
  const int placed = static_cast<int>(firstStones.size());
  for (int k = 0; k < placed; ++k) {
    state.stones[k][0] = firstStones[static_cast<size_t>(k)][0];
    state.stones[k][1] = firstStones[static_cast<size_t>(k)][1];
  }
  std::vector<PathFrame> frames(kPathCapacity);
  for (int k = placed; k < game::kStonesPerEnd; ++k) {
    const Seat seat = SeatOfStone(first, k);
    PlayStone(&links[seat], physics, game, end, &state, k, observer, &frames);
    const bool ended = links[seat].dead;
    if (!PlaysOn(&links[seat], seat, game)) return false;
    links[seat].budgetLeftMs += game->engines[seat].incMs;
    if (ended) end->stones.back().note += "; restarted";
  }
  // With all sixteen thrown the library counts every stone; the side flag
  // is back to the first thrower's, as at the start of the end.
  end->scoreForA = physics.score(&state);
  end->finished = true;
  game->table.endScores.push_back(end->scoreForA);
  return true;
}

// Starts and greets both engines; false when one forfeited.
bool StartEngines(const GameSetup& setup, EngineLink links[2], GameRecord* game) {
  const GameSettings& settings = game->settings;
  for (int s = 0; s < 2; ++s) {
    game->engines[s].name = setup.engines[s].name;
    game->engines[s].command = CommandLineOf(setup.engines[s]);
    ClockOf(setup.engines[s], settings, &game->engines[s].budgetMs, &game->engines[s].incMs);
    StartEngine(setup.engines[s], setup.engineLog[s], settings.pauseMs, game->engines[s].budgetMs,
                &links[s]);
  }
  for (int s = 0; s < 2; ++s)
    if (links[s].dead) return Forfeit(static_cast<Seat>(s), links[s].deadReason, game);
  for (int s = 0; s < 2; ++s) {
    game->engines[s].readyNote = GreetEngine(&links[s], static_cast<int>(settings.goTimeoutMs));
    if (!PlaysOn(&links[s], static_cast<Seat>(s), game)) return false;
  }
  return true;
}

// Who threw first in each end before the opening, for the engines' sake
// only: the side that scored had the hammer, a blank end kept it.
std::vector<Seat> EarlierFirstThrowers(const std::vector<int>& scores, Seat firstOfOpening) {
  std::vector<Seat> first(scores.size(), firstOfOpening);
  Seat next = firstOfOpening;
  for (size_t k = scores.size(); k-- > 0;) {
    if (scores[k] != 0) next = scores[k] > 0 ? kSeatB : kSeatA;
    first[k] = next;
  }
  return first;
}

// An engine keeps the score from the SCORE after each end; a game that
// starts later tells it the earlier ends the same way, or it would play as
// if the score were level. False when an engine forfeited meanwhile.
bool TellEarlierEnds(const Opening& opening, EngineLink links[2], GameRecord* game,
                     int commandWaitMs) {
  const std::vector<int> scores = EarlierEndScores(opening);
  const std::vector<Seat> first = EarlierFirstThrowers(scores, Opponent(opening.hammer));
  for (size_t k = 0; k < scores.size(); ++k) {
    const int end = static_cast<int>(k);
    const std::string setState =
        FormatSetState(0, end, LastEndToSend(game->settings.ends, end), SideFlag(first[k]));
    for (int s = 0; s < 2; ++s) {
      SendCommand(&links[s], setState, commandWaitMs);
      SendCommand(&links[s], FormatScore(scores[k]), commandWaitMs);
    }
    for (int s = 0; s < 2; ++s)
      if (!PlaysOn(&links[s], static_cast<Seat>(s), game)) return false;
  }
  return true;
}

// The ends from the opening on, until the game is over or forfeited.
void PlayEnds(const GameSetup& setup, const Opening& opening, EngineLink links[2], GameRecord* game,
              const GameObserver& observer) {
  const GameSettings& settings = game->settings;
  const int commandWaitMs = static_cast<int>(
      settings.goTimeoutMs < kCommandWaitMs ? settings.goTimeoutMs : kCommandWaitMs);
  if (!TellEarlierEnds(opening, links, game, commandWaitMs)) return;
  Seat first = Opponent(opening.hammer);
  for (int endIndex = opening.startEnd; AnotherEnd(game->table, settings.ends, settings.extraEnds);
       ++endIndex) {
    const bool finished = PlayEnd(
        links, setup.physics, game, endIndex, first,
        endIndex == opening.startEnd ? opening.firstStones : std::vector<std::array<float, 2>>{},
        observer);
    if (!finished) return;
    const int score = game->ends.back().scoreForA;
    for (int s = 0; s < 2; ++s) SendCommand(&links[s], FormatScore(score), commandWaitMs);
    for (int s = 0; s < 2; ++s)
      if (!PlaysOn(&links[s], static_cast<Seat>(s), game)) return;
    first = FirstThrowerAfter(first, score);
    if (observer.onEnd) observer.onEnd(*game);
  }
}

}  // namespace

void ClockOf(const EngineLaunch& launch, const GameSettings& settings, double* budgetMs,
             double* incMs) {
  *budgetMs = launch.budgetMs >= 0.0 ? launch.budgetMs : settings.budgetMs;
  *incMs = launch.incMs >= 0.0 ? launch.incMs : settings.incMs;
}

GameRecord PlayGame(const GameSetup& setup, const GameObserver& observer) {
  GameRecord game;
  game.gameIndex = setup.gameIndex;
  game.seed = setup.seed;
  game.settings = setup.settings;
  game.settings.pauseMs = std::max(0, game.settings.pauseMs);
  game.runnerVersion = kRunnerVersion;
  game.libraryVersion = setup.physics.version ? setup.physics.version() : "";
  game.startedAt = UtcNow();
  game.arguments = setup.arguments;
  Opening opening = setup.opening;
  if (!OpeningProblem(opening, game.settings.ends).empty()) {
    opening = Opening{};
    opening.hammer = setup.opening.hammer;
  }
  game.table.endScores = EarlierEndScores(opening);

  EngineLink links[2];
  const bool started = StartEngines(setup, links, &game);
  if (observer.onGreeted) observer.onGreeted(game);
  if (started) PlayEnds(setup, opening, links, &game, observer);
  game.complete = true;
  for (int s = 0; s < 2; ++s) {
    std::string how = StopEngine(&links[s]);
    game.engines[s].exit = links[s].dead ? links[s].deadReason : how;
  }
  if (observer.onFinish) observer.onFinish(game);
  return game;
}
