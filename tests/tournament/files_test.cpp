// The runner's pure pieces: the openings and results readers, the
// schedule, the --engine words and the tables built from result lines.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>
#include <set>

#include "tournament/engine_words.h"
#include "tournament/openings.h"
#include "tournament/options.h"
#include "tournament/results_file.h"
#include "tournament/same_run.h"
#include "tournament/schedule.h"
#include "tournament/tables.h"

TEST(Openings, ReadsEveryFieldAndRefusesWhatIsWrongNamingTheLine) {
  std::vector<Opening> openings;
  std::string error;
  ASSERT_TRUE(
      ParseOpenings("{\"end\": 1}\n\n{\"end\": 9, \"score\": [3, 4], \"hammer\": \"A\", "
                    "\"stones\": [[2.5, 5.25], [0, 0]]}\r\n",
                    &openings, &error))
      << error;
  ASSERT_EQ(openings.size(), 2u);
  EXPECT_EQ(openings[0].hammer, kSeatB);
  const Opening& o = openings[1];
  EXPECT_EQ(std::vector<int>({o.startEnd, o.pointsA, o.pointsB, o.hammer}),
            std::vector<int>({8, 3, 4, kSeatA}));
  ASSERT_EQ(o.firstStones.size(), 2u);
  EXPECT_EQ(o.firstStones[0][1], 5.25f);
  std::vector<Opening> again;
  ASSERT_TRUE(ParseOpenings(OpeningToJsonLine(o), &again, &error));
  EXPECT_EQ(OpeningToJsonLine(again[0]), OpeningToJsonLine(o));

  const struct {
    const char* text;
    const char* error;
  } kBad[] = {
      {"", "no openings"},
      {"{\"end\": 1}\n{\"end\": 0}", "line 2: \"end\""},
      {"{\"end\": 1.5}", "\"end\""},
      {"{\"score\": [1, 2]}", "\"end\" is missing"},
      {"{\"end\": 2, \"score\": [1]}", "\"score\""},
      {"{\"end\": 2, \"score\": [-1, 0]}", "\"score\""},
      {"{\"end\": 2, \"hammer\": \"C\"}", "\"hammer\""},
      {"{\"end\": 2, \"stones\": [[1, 2, 3]]}", "\"stones\""},
      {"{\"end\": 2, \"stones\": [[1e300, 2]]}", "\"stones\""},
      {"{\"end\": 2, \"stones\": [[1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2], "
       "[1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2], [1, 2]]}",
       "\"stones\""},
      {"{\"end\": 2, \"hamer\": \"A\"}", "unknown key \"hamer\""},
      {"[1, 2]", "not a JSON object"},
      {"{\"end\": 2", "not valid JSON"},
  };
  for (const auto& bad : kBad) {
    openings.assign(1, Opening{});
    EXPECT_FALSE(ParseOpenings(bad.text, &openings, &error)) << bad.text;
    EXPECT_NE(error.find(bad.error), std::string::npos) << bad.text << " -> " << error;
    EXPECT_EQ(openings.size(), 1u);  // untouched
  }
}

TEST(ResultsFile, GameLinesRoundTripAndACutShortLastLineIsNotRead) {
  TournamentOptions o;
  o.engines = {EngineLaunch{"é-engine", "/opt/é/engine", {"a b", "\"q\""}, "", 2, {{"K", "V"}}},
               EngineLaunch{"other", "x", {}, "", 0, {}}};
  o.seed = 18446744073709551615ull;
  o.sprt = true;
  const std::string run = RunIdentity(o, {"{\"end\":1}"});
  GameLine g;
  g.game = 3;
  g.pair = 1;
  g.seat[0] = 1;
  g.seat[1] = 0;
  g.seed = 12345678901234567890ull;
  g.result = GameResult::kWinB;
  g.points[1] = 7;
  g.forfeitSeat = 0;
  g.forfeitReason = "out of time \xff";  // not UTF-8: replaced, never refused
  g.thinkMs[1] = 12.5;
  const std::string text = HeaderLine(run, 1, 3) + GameLineText(g);
  ResultsFile file;
  std::string error;
  ASSERT_TRUE(ReadResultsText(text + "{\"game\":4,\"pa", &file, &error)) << error;
  EXPECT_EQ(file.completeBytes, text.size());
  EXPECT_EQ(std::vector<int>({file.shardIndex, file.shardCount}), std::vector<int>({1, 3}));
  EXPECT_EQ(file.run, run);
  ASSERT_EQ(file.games.size(), 1u);
  const GameLine& r = file.games[0];
  EXPECT_EQ(GameLineText(r), GameLineText(g));
  RunInfo info;
  ASSERT_TRUE(RunInfoFromIdentity(file.run, &info, &error)) << error;
  EXPECT_EQ(info.names, std::vector<std::string>({"é-engine", "other"}));
  EXPECT_EQ(info.seed, o.seed);
  EXPECT_TRUE(info.sprt);
  EXPECT_EQ(info.openingCount, 1);

  const std::string header = HeaderLine(run, 0, 1);
  for (const std::string& bad :
       {std::string(""), std::string("{\"game\":1}\n"), header + "{\"game\":1}\n", header + "[]\n",
        header + "garbage\n" + GameLineText(g),
        header + GameLineText(g).replace(GameLineText(g).find("\"game\":3"), 8, "\"game\":3.5"),
        header + GameLineText(g).replace(GameLineText(g).find("\"game\":3"), 8, "\"game\":1e99"),
        header.substr(0, header.size() - 1)}) {
    EXPECT_FALSE(ReadResultsText(bad, &file, &error)) << bad;
  }
}

TEST(ResultsFile, AGrownRunHasHeadersAlikeButForGamesAndOldHeadersCompareAsGiven) {
  TournamentOptions o;
  o.engines = {EngineLaunch{"a", "no-such-engine", {}, "", 0, {}},
               EngineLaunch{"b", "no-such-engine", {}, "", 0, {}}};
  o.games = 4;
  const std::string run = RunIdentity(o, {});
  ResultsFile file;
  std::string error;
  ASSERT_TRUE(ReadResultsText(HeaderLine(run, 0, 1) + HeaderLine(RunWithGames(run, 8), 0, 1) +
                                  HeaderLine(RunWithGames(run, 6), 0, 1),
                              &file, &error))
      << error;
  EXPECT_EQ(std::vector<int>({file.gamesPerPairing, file.headers}), std::vector<int>({8, 3}));
  o.seed = 1;
  for (const std::string& later : {HeaderLine(RunIdentity(o, {}), 0, 1), HeaderLine(run, 1, 2)}) {
    EXPECT_FALSE(ReadResultsText(HeaderLine(run, 0, 1) + later, &file, &error));
    EXPECT_EQ(error, "line 2 is a header of another run");
  }

  EXPECT_EQ(RunDifference(run, RunWithGames(run, 8), PathsCompared::kResolved), "");
  EXPECT_EQ(RunDifference(run, RunWithGames(run, 1), PathsCompared::kResolved), "games: 4 vs 1");
  nlohmann::json moved = nlohmann::json::parse(run), old = moved;
  moved["engines"][1]["cmdResolved"] = "/elsewhere/no-such-engine";
  for (auto& engine : old["engines"]) engine.erase("cmdResolved");
  EXPECT_EQ(RunDifference(run, moved.dump(), PathsCompared::kGiven), "");
  EXPECT_EQ(RunDifference(run, moved.dump(), PathsCompared::kResolved),
            "engine 2 (b): cmd no-such-engine vs no-such-engine (/elsewhere/no-such-engine)");
  // A header written before resolved paths were kept: as given.
  EXPECT_EQ(RunDifference(old.dump(), moved.dump(), PathsCompared::kResolved), "");
}

TEST(Schedule, PairsShareSeedAndOpeningSwapSeatsAndShardsSplitWholePairs) {
  RunPlan plan;
  plan.pairings = PairingsOf(TournamentKind::kRoundRobin, 3);
  ASSERT_EQ(plan.pairings.size(), 3u);
  plan.gamesPerPairing = 4;
  plan.openingCount = 3;
  plan.seed = 99;
  ASSERT_EQ(GameCount(plan), 12);
  for (int g = 0; g < GameCount(plan); g += 2) {
    const ScheduledGame a = GameAt(plan, g), b = GameAt(plan, g + 1);
    EXPECT_EQ(std::vector<int>({a.pair, a.pairing, a.opening, a.seat[0], a.seat[1]}),
              std::vector<int>({b.pair, b.pairing, b.opening, b.seat[1], b.seat[0]}));
    EXPECT_EQ(a.seed, b.seed);
    EXPECT_EQ(a.pairing, a.pair % 3);  // pairings take turns
  }
  EXPECT_NE(GameAt(plan, 0).seed, GameAt(plan, 2).seed);
  std::multiset<int> all;
  for (int k = 0; k < 4; ++k)
    for (int g : GamesOfShard(plan, k, 4)) {
      all.insert(g);
      EXPECT_EQ(GameAt(plan, g).pair % 4, k);
    }
  EXPECT_EQ(all.size(), 12u);
  EXPECT_EQ(std::set<int>(all.begin(), all.end()).size(), 12u);

  EXPECT_EQ(PairingsOf(TournamentKind::kGauntlet, 4).size(), 3u);
  EXPECT_EQ(PairingsOf(TournamentKind::kPairs, 2).size(), 1u);
  plan.gamesPerPairing = 1;  // single games: one game per "pair", seats never swapped
  EXPECT_EQ(GameCount(plan), 3);
  EXPECT_EQ(GameAt(plan, 2).seat[0], plan.pairings[2].first);
}

TEST(EngineWords, EveryKeyAndEveryMistake) {
  EngineLaunch launch;
  std::string error;
  ASSERT_TRUE(EngineLaunchFromWords({"name=new", "cmd=./eng", "arg=--x y", "arg=", "dir=/tmp",
                                     "threads=2", "env=A=b=c", "time=1.5", "inc=0"},
                                    &launch, &error))
      << error;
  EXPECT_EQ(launch.args, std::vector<std::string>({"--x y", ""}));
  EXPECT_EQ(launch.env[0], std::make_pair(std::string("A"), std::string("b=c")));
  EXPECT_EQ(launch.threads, 2);
  EXPECT_EQ(launch.budgetMs, 1500.0);
  EXPECT_EQ(launch.incMs, 0.0);
  for (const std::vector<std::string>& bad : {std::vector<std::string>{"name=x"},
                                              {"cmd=x", "thread=2"},
                                              {"cmd=x", "threads=2.5"},
                                              {"cmd=x", "time=0"},
                                              {"cmd=x", "inc=1s"},
                                              {"cmd=x", "env=novalue"},
                                              {"cmd=x", "env==v"},
                                              {"cmd=x", "loose"}}) {
    error.clear();
    EngineLaunch s;
    EXPECT_FALSE(EngineLaunchFromWords(bad, &s, &error)) << bad.back();
    EXPECT_FALSE(error.empty());
  }
  // A definition, then --each, then the engine's own words: the last of a
  // key wins, arguments add up.
  const EngineDefinitions defs{{"s", {"name=s", "cmd=./s", "arg=--player", "time=60"}}};
  std::vector<std::string> words;
  ASSERT_TRUE(EngineWordsOf({"conf=s", "time=5", "arg=x"}, {"time=9", "inc=1", "threads=1"}, &defs,
                            &words, &error));
  EngineLaunch merged;
  ASSERT_TRUE(EngineLaunchFromWords(words, &merged, &error)) << error;
  EXPECT_EQ(merged.args, std::vector<std::string>({"--player", "x"}));
  EXPECT_EQ(std::vector<double>({merged.budgetMs, merged.incMs, double(merged.threads)}),
            std::vector<double>({5000.0, 1000.0, 1.0}));
  // The same clock for every engine is the game's; time odds stay the engines'.
  GameSettings settings;
  std::vector<EngineLaunch> engines(2, merged);
  ShareCommonClock(&engines, &settings);
  EXPECT_EQ(std::vector<double>({settings.budgetMs, settings.incMs, engines[1].budgetMs}),
            std::vector<double>({5000.0, 1000.0, -1.0}));
  engines[1].budgetMs = 10.0;
  ShareCommonClock(&engines, &settings);
  EXPECT_EQ(settings.budgetMs, 5000.0);
  EXPECT_EQ(engines[1].budgetMs, 10.0);
}

TEST(Tables, ForfeitsAreLossesAndPairsFormThePentanomial) {
  RunInfo info;
  info.names = {"new", "old"};
  info.gamesPerPairing = 6;
  info.sprt = true;
  auto game = [](int index, GameResult result, int forfeitSeat) {
    GameLine g;
    g.game = index;
    g.pair = index / 2;
    g.seat[0] = index % 2;  // "new" in seat A in the first game of each pair
    g.seat[1] = 1 - index % 2;
    g.result = result;
    g.forfeitSeat = forfeitSeat;
    return g;
  };
  // Pair 0: new wins both (one by the other's forfeit); pair 1: a win and a
  // draw; pair 2: only its first game, a loss by new's forfeit.
  const std::vector<GameLine> games = {
      game(0, GameResult::kWinA, -1), game(1, GameResult::kWinB, 0), game(2, GameResult::kWinA, -1),
      game(3, GameResult::kDraw, -1), game(4, GameResult::kWinB, 0)};
  const Tables t = ComputeTables(info, Deduplicate(games, 6));
  const PairingTable& p = t.pairings[0];
  EXPECT_EQ(std::vector<int64_t>({p.wdl.wins, p.wdl.draws, p.wdl.losses}),
            std::vector<int64_t>({3, 1, 1}));
  EXPECT_EQ(p.penta.count, (std::array<int64_t, 5>{0, 0, 0, 1, 1}));
  EXPECT_EQ(std::vector<int64_t>({t.engines[0].forfeits, t.engines[1].forfeits}),
            std::vector<int64_t>({1, 1}));
  EXPECT_EQ(t.games, 5);
  EXPECT_EQ(t.sprtState.llr, SprtFromPentanomial(p.penta, info.sprtParams).llr);
  EXPECT_NE(FormatTables(t).find("SPRT new vs old"), std::string::npos);
  // A duplicate line of a game counts once; a game outside the run not at all.
  std::vector<GameLine> doubled = games;
  doubled.push_back(game(0, GameResult::kWinB, -1));
  doubled.push_back(game(9, GameResult::kWinB, -1));
  EXPECT_EQ(TablesJson(ComputeTables(info, Deduplicate(doubled, 6))), TablesJson(t));
}
