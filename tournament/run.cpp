#include "tournament/run.h"

#include <atomic>
#include <chrono>
#include <cstdio>
#include <map>
#include <mutex>
#include <set>
#include <thread>

#include "record/line_score.h"
#include "tournament/report.h"

namespace {

using Clock = std::chrono::steady_clock;

void Print(const std::string& text) {
  std::fputs(text.c_str(), stdout);
  std::fflush(stdout);
}

// What the worker threads share; every field below `lock` is guarded by it.
struct Shared {
  const RunSetup* setup = nullptr;
  std::ostream* results = nullptr;
  std::vector<int> todo;  // games to play, in game order
  std::atomic<size_t> nextTodo{0};
  std::atomic<bool> stop{false};
  Clock::time_point start = Clock::now();

  std::mutex lock;
  std::vector<int> order;  // the shard's games in game order
  size_t nextReport = 0;
  std::map<int, GameLine> finished;
  std::vector<GameLine> reported;
  size_t playedHere = 0;  // games finished by this process
  bool resultsFailed = false;
  bool outputFailed = false;
  bool progressShown = false;
};

GameSetup SetupOf(const RunSetup& r, const ScheduledGame& s) {
  GameSetup setup;
  for (int k = 0; k < 2; ++k) {
    setup.engines[k] = r.options.engines[static_cast<size_t>(s.seat[k])];
    setup.engineLog[k] = EngineLogPathOf(r.output, s.game, k);
  }
  if (s.opening >= 0) setup.opening = r.openings[static_cast<size_t>(s.opening)];
  setup.settings = r.options.settings;
  setup.gameIndex = s.game;
  setup.seed = s.seed;
  setup.physics = r.physics;
  setup.arguments = r.arguments;
  return setup;
}

std::string EngineLabel(const EngineLaunch& e) { return CommandLineOf(e) + " (" + e.name + ")"; }

double SecondsLeft(const Shared& sh) {
  if (sh.playedHere == 0) return -1.0;
  const double elapsed = std::chrono::duration<double>(Clock::now() - sh.start).count();
  const double left = static_cast<double>(sh.todo.size() - sh.playedHere);
  return elapsed / static_cast<double>(sh.playedHere) * left;
}

// Reports every game that is next in game order; the caller holds the lock.
void ReportInOrder(Shared* sh) {
  const RunSetup& r = *sh->setup;
  const int every = r.options.reportEvery;
  while (sh->nextReport < sh->order.size()) {
    const auto it = sh->finished.find(sh->order[sh->nextReport]);
    if (it == sh->finished.end()) break;
    sh->reported.push_back(it->second);
    sh->finished.erase(it);
    sh->nextReport++;
    const bool last = sh->nextReport == sh->order.size();
    const bool tablesDue = every > 0 && sh->reported.size() % static_cast<size_t>(every) == 0;
    Tables t = ComputeTables(r.info, sh->reported, tablesDue && !last);
    t.plannedGames = static_cast<int64_t>(sh->order.size());  // a shard counts its own games
    std::string text;
    if (r.terminal) {
      // Trailing blanks wipe what a longer previous line left behind.
      text = "\r" + FormatProgressLine(t, SecondsLeft(*sh)) + std::string(12, ' ');
      sh->progressShown = true;
    } else if (!r.output.live) {
      text = FormatGameLine(sh->reported.back(), t, GameCount(r.plan));
    }
    if (tablesDue && !last) text += (sh->progressShown ? "\n" : "") + FormatTables(t);
    if (tablesDue && !last) sh->progressShown = false;
    Print(text);
    if (t.sprt && t.sprtState.result != SprtResult::kContinue && !sh->stop) {
      sh->stop = true;
      Print((sh->progressShown ? "\n" : "") + FormatSprtLine(t) +
            "the test has decided: no further games are started\n");
      sh->progressShown = false;
    }
  }
}

void Finish(Shared* sh, const ScheduledGame& s, const GameRecord& game, bool outputFailed) {
  const GameLine line = LineOf(s, game);
  std::lock_guard<std::mutex> hold(sh->lock);
  sh->outputFailed |= outputFailed;
  if (sh->results && !sh->resultsFailed) {
    *sh->results << GameLineText(line);
    sh->results->flush();
    if (!*sh->results) {
      sh->resultsFailed = true;
      std::fprintf(stderr, "curling-match: cannot write the results file; stopping\n");
      sh->stop = true;
    }
  }
  sh->playedHere++;
  sh->finished.emplace(line.game, line);
  ReportInOrder(sh);
}

void Worker(Shared* sh) {
  const RunSetup& r = *sh->setup;
  while (!sh->stop) {
    const size_t i = sh->nextTodo++;
    if (i >= sh->todo.size()) return;
    const ScheduledGame s = GameAt(r.plan, sh->todo[i]);
    const GameSetup setup = SetupOf(r, s);
    if (r.output.live)
      Print(LiveGameHeader(EngineLabel(setup.engines[0]), EngineLabel(setup.engines[1]), s.seed,
                           setup.opening));
    GameOutputState output{&r.output, s.game};
    const GameRecord game = PlayGame(setup, MakeGameObserver(&output));
    if (r.output.live && game.forfeitSeat >= 0)
      Print(std::string("  ") + SeatLetter(static_cast<Seat>(game.forfeitSeat)) +
            " forfeits: " + game.forfeitReason + "\n");
    if (r.output.live) Print(FormatFinalBoard(game));
    Finish(sh, s, game, OutputFailed(output));
  }
}

}  // namespace

GameLine LineOf(const ScheduledGame& s, const GameRecord& game) {
  GameLine line;
  line.game = s.game;
  line.pair = s.pair;
  line.pairing = s.pairing;
  line.opening = s.opening;
  line.seed = s.seed;
  line.result = game.result;
  line.ends = static_cast<int>(game.ends.size());
  line.forfeitSeat = game.forfeitSeat;
  line.forfeitReason = game.forfeitReason;
  for (int k = 0; k < 2; ++k) {
    const EngineSummary& e = game.engines[k];
    line.seat[k] = s.seat[k];
    line.points[k] = PointsFor(game.table, static_cast<Seat>(k));
    line.goCount[k] = e.goCount;
    line.thinkMs[k] = e.thinkMsTotal;
    line.thinkMsMax[k] = e.thinkMsMax;
    line.stonesLost[k] = e.stonesLost;
  }
  return line;
}

RunOutcome PlayRun(const RunSetup& setup, const std::vector<GameLine>& previous,
                   std::ostream* results) {
  Shared sh;
  sh.setup = &setup;
  sh.results = results;
  sh.order = GamesOfShard(setup.plan, setup.options.shardIndex, setup.options.shardCount);
  std::set<int> done;
  for (const GameLine& g : previous) {
    done.insert(g.game);
    sh.finished.emplace(g.game, g);
  }
  for (int g : sh.order)
    if (!done.count(g)) sh.todo.push_back(g);
  {
    std::lock_guard<std::mutex> hold(sh.lock);
    ReportInOrder(&sh);
  }
  const int workers =
      std::max(1, std::min<int>(setup.options.concurrency, static_cast<int>(sh.todo.size())));
  std::vector<std::thread> threads;
  for (int w = 1; w < workers; ++w) threads.emplace_back(Worker, &sh);
  Worker(&sh);
  for (std::thread& t : threads) t.join();
  if (sh.progressShown) Print("\n");
  RunOutcome outcome;
  outcome.resultsFailed = sh.resultsFailed;
  outcome.outputFailed = sh.outputFailed;
  outcome.games = sh.reported;
  for (const auto& entry : sh.finished) outcome.games.push_back(entry.second);
  return outcome;
}
