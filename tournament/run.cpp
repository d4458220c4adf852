#include "tournament/run.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "platform/interrupt.h"
#include "platform/terminal.h"
#include "tournament/report.h"
#include "tournament/run_page.h"
#include "tournament/shard_files.h"

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
  // The index page is not written again once a write failed.
  bool pageFailed = false;
  // The plots' points of `reported`.
  RunSeries series;
  int progressWidth = 0;  // columns of the progress line on screen; 0: none shown
  std::optional<SprtState> sharedSprt;  // over every shard's results, when the SPRT is shared
  std::string refused;
  bool interrupted = false;  // no results line is written once this is set
  int running = 0;           // worker threads not yet returned
  std::condition_variable workerDone;
};

// Reads every shard's results for the SPRT over all of them; a file of
// another run stops the run. The caller holds the lock.
void ReadSharedSprt(Shared* sh) {
  const RunSetup& r = *sh->setup;
  if (!SprtOverAllShards(r.options) || !sh->refused.empty()) return;
  std::vector<GameLine> games;
  int planned = 0;
  sh->refused =
      ReadShardGames(r.options.shardResults, r.options.shardCount, r.run, &games, &planned);
  if (sh->refused.empty())
    sh->sharedSprt = SprtOverShards(r.info, games, planned);
  else
    sh->stop = true;
}

bool Decided(const Tables& t) { return t.sprt && t.sprtState.result != SprtResult::kContinue; }

std::string DecidedText(const RunSetup& r) {
  return SprtOverAllShards(r.options) ? "the test over all " +
                                            std::to_string(r.options.shardCount) +
                                            " shards has decided: no further games are started\n"
                                      : "the test has decided: no further games are started\n";
}

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

// The index page once the games that were next in order are reported:
// once per call, not per game, so that resuming a long run writes it once.
// latest: the tables after the last of them. The caller holds the lock.
void UpdatePage(Shared* sh, const Tables& latest) {
  const RunSetup& r = *sh->setup;
  if (!HasRunPage(r.output) || sh->pageFailed) return;
  Tables t = ComputeTables(r.info, sh->reported);  // with the rating list the console may skip
  t.plannedGames = latest.plannedGames;
  t.sprtState = latest.sprtState;
  if (WriteRunPage(r.output, t, sh->series, sh->reported, !sh->stop)) return;
  sh->pageFailed = true;
  sh->outputFailed = true;
}

// Reports every game that is next in game order; the caller holds the lock.
void ReportInOrder(Shared* sh) {
  const RunSetup& r = *sh->setup;
  const int every = r.options.reportEvery;
  const size_t before = sh->reported.size();
  Tables latest;
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
    // The plots follow this file's games alone, so that its page can be
    // built again from it; a shared test's LLR is in the tables.
    AddToSeries(t, sh->reported.back(), &sh->series);
    if (sh->sharedSprt) t.sprtState = *sh->sharedSprt;
    std::string text;
    if (r.terminal) {
      text = RedrawProgressLine(FormatProgressLine(t, SecondsLeft(*sh)), StdoutColumns(),
                                &sh->progressWidth);
    } else if (!r.output.live) {
      text = FormatGameLine(sh->reported.back(), t, GameCount(r.plan));
    }
    if (tablesDue && !last) text += (sh->progressWidth > 0 ? "\n" : "") + FormatTables(t);
    if (tablesDue && !last) sh->progressWidth = 0;
    Print(text);
    // A shared test is judged once every shard's results have been read.
    const bool known = !SprtOverAllShards(r.options) || sh->sharedSprt;
    if (known && Decided(t) && !sh->stop) {
      sh->stop = true;
      Print((sh->progressWidth > 0 ? "\n" : "") + FormatSprtLine(t) + DecidedText(r));
      sh->progressWidth = 0;
    }
    latest = std::move(t);
  }
  if (sh->reported.size() > before) UpdatePage(sh, latest);
}

void Finish(Shared* sh, const ScheduledGame& s, const GameRecord& game, bool outputFailed) {
  const GameLine line = LineOf(s, game);
  // A single game said so as it started.
  const std::string greeting =
      sh->setup->output.live ? ""
                             : GreetingLines(game, "game " + std::to_string(s.game + 1) + ": ");
  std::lock_guard<std::mutex> hold(sh->lock);
  // The tables of an interrupted run are printed already; a game finished
  // after them is played again on resume rather than counted unseen. The
  // signal itself may have cut an engine's exchange short in this game,
  // so a game that ends once it has come is not trusted either.
  if (sh->interrupted || InterruptSignal() != 0) return;
  if (!greeting.empty()) {
    Print((sh->progressWidth > 0 ? "\n" : "") + greeting);
    sh->progressWidth = 0;
  }
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
  ReadSharedSprt(sh);
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
    Finish(sh, s, game, OutputFailed(output));
  }
}

}  // namespace

bool SprtOverAllShards(const TournamentOptions& o) {
  return o.sprt && o.shardCount > 1 && !o.shardResults.empty();
}

GameLine LineOf(const ScheduledGame& s, const GameRecord& game) {
  GameLine line;
  line.game = s.game;
  line.pair = s.pair;
  line.pairing = s.pairing;
  line.opening = s.opening;
  line.seed = s.seed;
  line.result = ResultOfGame(game);
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
  // Left to the games in play when interrupted, which may still reach it.
  auto owner = std::make_unique<Shared>();
  Shared& sh = *owner;
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
    ReadSharedSprt(&sh);
    if (sh.sharedSprt && sh.sharedSprt->result != SprtResult::kContinue && !sh.stop) {
      sh.stop = true;
      Tables t = ComputeTables(setup.info, sh.reported, false);
      t.sprtState = *sh.sharedSprt;
      Print(FormatSprtLine(t) + DecidedText(setup));
    }
  }
  const int workers =
      std::max(1, std::min<int>(setup.options.concurrency, static_cast<int>(sh.todo.size())));
  std::vector<std::thread> threads;
  sh.running = workers;
  for (int w = 0; w < workers; ++w)
    threads.emplace_back([&sh] {
      Worker(&sh);
      std::lock_guard<std::mutex> hold(sh.lock);
      sh.running--;
      sh.workerDone.notify_all();
    });
  // A signal handler cannot wake a condition variable, so an interrupt is
  // seen at the next look; a tenth of a second is quick for a person.
  constexpr auto kLook = std::chrono::milliseconds(100);
  std::unique_lock<std::mutex> hold(sh.lock);
  while (sh.running > 0 && InterruptSignal() == 0) sh.workerDone.wait_for(hold, kLook);
  RunOutcome outcome;
  outcome.interrupt = InterruptSignal();
  if (outcome.interrupt != 0) {
    sh.interrupted = true;
    sh.stop = true;
  }
  if (sh.running > 0) {
    for (std::thread& t : threads) t.detach();
    owner.release();
  } else {
    hold.unlock();
    for (std::thread& t : threads) t.join();
    hold.lock();
  }
  if (sh.progressWidth > 0) Print("\n");
  outcome.resultsFailed = sh.resultsFailed;
  outcome.outputFailed = sh.outputFailed;
  outcome.refused = sh.refused;
  outcome.games = sh.reported;
  outcome.series = sh.series;
  for (const auto& entry : sh.finished) outcome.games.push_back(entry.second);
  return outcome;
}
