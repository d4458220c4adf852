// The runner as a whole process over fake engines and the exact stand-in
// physics: order under concurrency, resume after a kill, shards and merge,
// round robin, refusals. Games are compared through the --summary
// document, which holds no times, so equal games give equal text.
#include <gtest/gtest.h>
#include <signal.h>

#include <filesystem>
#include <fstream>

#include "tests/tournament/support.h"

namespace {

// Two engines aiming near each other, with execution error: results vary
// from game to game but are fixed by the seed.
std::vector<std::string> TwoEngines() {
  return Concat({FakeEngineWords("near", {"--plan", "2.375,4.9"}),
                 FakeEngineWords("far", {"--plan", "2.5,5.3"})});
}

std::vector<std::string> Quick(const std::string& games) {
  return {"--ends", "1", "--noise", "0.4", "--pause-ms", "0", "--games", games};
}

// Runs and returns the --summary document; fails the test on a bad exit.
std::string SummaryOf(const std::vector<std::string>& args, const std::string& summary) {
  const CommandResult r = RunRunner(Concat({args, {"--summary", summary}}));
  EXPECT_EQ(r.status, 0) << r.output;
  return ReadFile(summary);
}

// The game lines of a results file, or with headers=true its header lines.
int LinesIn(const std::string& path, bool headers = false) {
  int n = 0;
  for (const std::string& line : FileLines(path))
    n += line.rfind(headers ? "{\"curlingMatchResults\"" : "{\"ends\"", 0) == 0;
  return n;
}

// The runner started in folder, as on another machine or from another shell.
CommandResult RunRunnerIn(const std::string& folder, const std::vector<std::string>& args) {
  return RunCommand("cd " + ShellQuote(folder) + " && " + RunnerLine(args) + " 2>&1 </dev/null");
}

// folder/eng, a program of its own that is the fake engine.
void WriteEngineCopy(const std::string& folder) {
  std::filesystem::create_directories(folder);
  std::ofstream(folder + "/eng") << "#!/bin/sh\nexec " << ShellQuote(FAKE_ENGINE) << " \"$@\"\n";
  std::filesystem::permissions(folder + "/eng", std::filesystem::perms::owner_all);
}

}  // namespace

// Suites whose tests write files: each test gets a folder of its own.
class TournamentRun : public TempDirTest {};

TEST_F(TournamentRun, ConcurrentGamesAreReportedInGameOrderAndMatchASerialRun) {
  const auto args = Concat({Quick("12"), TwoEngines(), {"--seed", "7"}});
  const CommandResult r =
      RunRunner(Concat({args, {"--concurrency", "3", "--summary", dir + "/c3.json"}}));
  ASSERT_EQ(r.status, 0) << r.output;
  size_t at = 0;
  for (int g = 1; g <= 12; ++g) {
    const size_t next = r.output.find("game " + std::to_string(g) + "/12:", at);
    ASSERT_NE(next, std::string::npos) << "game " << g << " missing or out of order:\n" << r.output;
    at = next;
  }
  EXPECT_EQ(ReadFile(dir + "/c3.json"), SummaryOf(args, dir + "/c1.json"));
  EXPECT_TRUE(Holds(ReadFile(dir + "/c3.json"), "\"games\": 12"));
}

TEST_F(TournamentRun, KilledRunResumedWithTheSameCommandEndsWithTheSameTables) {
  const std::string results = dir + "/r.jsonl";
  // No --seed: the run records the seed it chose and the resume takes it.
  const auto args = Concat({Quick("10"),
                            TwoEngines(),
                            {"--results", results, "--concurrency", "2"},
                            {"--engine-log", dir + "/logs"}});
  ChildProcess runner;
  ASSERT_TRUE(StartRunner(args, &runner));
  WaitUntil([&results] { return LinesIn(results) >= 3; }, 30);
  kill(runner.pid, SIGKILL);
  StopProcess(&runner, 0);
  const int before = LinesIn(results);
  ASSERT_GE(before, 3);
  ASSERT_LT(before, 10) << "the run ended before it could be killed";

  // The summary's folder is made as the other outputs' are.
  const CommandResult resumed = RunRunner(Concat({args, {"--summary", dir + "/new/resumed.json"}}));
  ASSERT_EQ(resumed.status, 0) << resumed.output;
  EXPECT_TRUE(Holds(resumed.output, "resuming"));
  EXPECT_EQ(LinesIn(results), 10);
  const std::string header = FileLines(results)[0];
  const size_t seedAt = header.find("\"seed\":\"") + 8;
  const std::string seed = header.substr(seedAt, header.find('"', seedAt) - seedAt);
  EXPECT_EQ(ReadFile(dir + "/new/resumed.json"),
            SummaryOf(Concat({Quick("10"), TwoEngines(), {"--seed", seed}}), dir + "/once.json"));
}

TEST_F(TournamentRun, ResultsOfAnotherRunAreRefusedAndLeftAlone) {
  const std::string results = dir + "/r.jsonl";
  const auto args = Concat({Quick("2"), {"--results", results, "--seed", "1"}});
  ASSERT_EQ(RunRunner(Concat({args, TwoEngines()})).status, 0);
  const std::string kept = ReadFile(results);
  WriteEngineCopy(dir + "/b");
  // Each refusal names what differs, the file's value first.
  const struct {
    std::vector<std::string> args;
    std::vector<std::string> differs;
  } kOther[] = {
      {{"--seed", "2"}, {"seed: 1 vs 2)"}},
      {{"--noise", "0.2"}, {"noise: 0.4 vs 0.2)"}},
      {{"--recover", "--ends", "2"}, {"ends: 1 vs 2; recover: false vs true)"}},
      {{"--shard", "1/2"}, {"shard: 1/1 vs 1/2)"}},
      {{"--games", "1"}, {"games: 2 vs 1)"}},
      {{"--engine", "name=far", "cmd=" + dir + "/b/eng", "arg=--plan", "arg=2.5,5.3", "threads=2"},
       {std::string("engine 2 (far): cmd ") + FAKE_ENGINE, " vs " + dir + "/b/eng",
        "; engine 2 (far): threads 0 vs 2)"}}};
  for (const auto& other : kOther) {
    const bool engine = other.args[0] == "--engine";
    const CommandResult r = RunRunner(
        Concat({args, engine ? FakeEngineWords("near", {"--plan", "2.375,4.9"}) : TwoEngines(),
                other.args}));
    EXPECT_EQ(r.status, 2) << r.output;
    EXPECT_TRUE(Holds(r.output, "another run (the file's vs this command's: " + other.differs[0]));
    for (const std::string& part : other.differs) EXPECT_TRUE(Holds(r.output, part));
  }
  std::ofstream(dir + "/junk.jsonl") << "not a results file\n";
  EXPECT_EQ(RunRunner(Concat({args, {"--results", dir + "/junk.jsonl"}})).status, 2);
  EXPECT_EQ(ReadFile(results), kept);
}

// The planned games are no part of a run: a larger --games plays on, a
// smaller one shows what is there; either way the games are those of one
// run of that size.
TEST_F(TournamentRun, ALargerGamesGrowsTheRunAndASmallerOneAddsNothing) {
  const std::string results = dir + "/r.jsonl";
  const auto run = [&](const std::string& games) {
    return RunRunner(Concat({Quick(games),
                             TwoEngines(),
                             {"--seed", "3", "--results", results, "--summary", dir + "/s.json"}}));
  };
  ASSERT_EQ(run("4").status, 0);
  const CommandResult grown = run("8");
  ASSERT_EQ(grown.status, 0) << grown.output;
  EXPECT_TRUE(Holds(grown.output, "4 games already played; the run grows from 4 to 8"));
  EXPECT_EQ(LinesIn(results), 8);
  EXPECT_EQ(LinesIn(results, true), 2);
  EXPECT_TRUE(Holds(FileLines(results)[5], "\"games\":8"));
  const std::string once =
      SummaryOf(Concat({Quick("8"), TwoEngines(), {"--seed", "3"}}), dir + "/once.json");
  EXPECT_EQ(ReadFile(dir + "/s.json"), once);

  const std::string kept = ReadFile(results);
  const CommandResult smaller = run("2");
  ASSERT_EQ(smaller.status, 0) << smaller.output;
  EXPECT_TRUE(
      Holds(smaller.output, "plans 8 games per pairing, more than --games 2: 8 games played"));
  EXPECT_TRUE(Holds(smaller.output, "after 8 of 8 games"));
  EXPECT_EQ(ReadFile(results), kept);
  EXPECT_EQ(ReadFile(dir + "/s.json"), once);
}

// An engine is its file, however a command names it: a run resumes when
// the path is spelled another way, and shards from machines with their own
// copies merge as long as the commands named them alike.
TEST_F(TournamentRun, EnginePathsResumeResolvedAndMergeAsGiven) {
  const std::string results = dir + "/r.jsonl";
  const std::string relative = "./" + std::filesystem::relative(FAKE_ENGINE).generic_string();
  const auto resume = [&](const std::string& engine, const std::string& games) {
    return RunRunner(Concat({Quick(games),
                             FakeEngineWords("near", {"--plan", "2.375,4.9"}),
                             {"--engine", "name=far", "cmd=" + engine, "arg=--plan", "arg=2.5,5.3"},
                             {"--seed", "5", "--results", results}}));
  };
  ASSERT_EQ(resume(FAKE_ENGINE, "2").status, 0);
  const CommandResult again = resume(relative, "4");
  ASSERT_EQ(again.status, 0) << again.output;
  EXPECT_EQ(LinesIn(results), 4);

  const auto shard = [&](const std::string& machine, const std::string& games,
                         const std::string& k) {
    WriteEngineCopy(dir + "/" + machine);
    return RunRunnerIn(dir + "/" + machine,
                       Concat({Quick(games),
                               FakeEngineWords("near", {"--plan", "2.375,4.9"}),
                               {"--engine", "name=far", "cmd=./eng", "arg=--plan", "arg=2.5,5.3"},
                               {"--seed", "5", "--shard", k, "--results", "../s" + machine}}))
        .status;
  };
  ASSERT_EQ(shard("1", "4", "1/2"), 0);
  ASSERT_EQ(shard("1", "8", "1/2"), 0);
  ASSERT_EQ(shard("2", "8", "2/2"), 0);
  const CommandResult merged =
      RunRunner({"merge", dir + "/s1", dir + "/s2", "--summary", dir + "/new/m.json"});
  ASSERT_EQ(merged.status, 0) << merged.output;
  EXPECT_EQ(ReadFile(dir + "/new/m.json"),
            SummaryOf(Concat({Quick("8"), TwoEngines(), {"--seed", "5"}}), dir + "/once.json"));
}

TEST_F(TournamentRun, AnEngineThatCannotStartEndsTheRunNamingIt) {
  const CommandResult r =
      RunRunner(Concat({Quick("2"),
                        FakeEngineWords("fine", {}),
                        {"--engine", "name=ghost", "cmd=" + dir + "/no-such-engine", "--results",
                         dir + "/r.jsonl"}}));
  EXPECT_EQ(r.status, 2) << r.output;
  EXPECT_TRUE(Holds(r.output, "ghost"));
  EXPECT_TRUE(Holds(r.output, dir + "/no-such-engine"));
  EXPECT_TRUE(Lacks(r.output, "game 1"));
}

// Shards run one after another, or at once through GNU parallel where it
// is installed, merge to the tables of one run; a file of another run is
// not merged in.
TEST_F(TournamentRun, ShardsMergedGiveTheTablesOfOneRun) {
  const auto args = Concat({Quick("8"), TwoEngines(), {"--seed", "5"}});
  const std::string once = SummaryOf(args, dir + "/once.json");
  for (const char* shard : {"1/3", "2/3", "3/3"}) {
    const std::string file = dir + "/shard-" + std::string(1, shard[0]) + ".jsonl";
    ASSERT_EQ(RunRunner(Concat({args, {"--shard", shard, "--results", file}})).status, 0);
  }
  EXPECT_EQ(LinesIn(dir + "/shard-1.jsonl"), 4);  // pairs 0 and 3, never split
  const CommandResult merged = RunRunner({"merge", dir + "/shard-1.jsonl", dir + "/shard-2.jsonl",
                                          dir + "/shard-3.jsonl", "--summary", dir + "/m.json"});
  ASSERT_EQ(merged.status, 0) << merged.output;
  EXPECT_EQ(ReadFile(dir + "/m.json"), once);
  ASSERT_EQ(
      RunRunner(
          Concat({Quick("2"), TwoEngines(), {"--seed", "6", "--results", dir + "/other.jsonl"}}))
          .status,
      0);
  EXPECT_EQ(RunRunner({"merge", dir + "/shard-1.jsonl", dir + "/other.jsonl"}).status, 2);

  if (RunCommand("command -v parallel").status != 0) GTEST_SKIP() << "GNU parallel missing";
  const CommandResult p =
      RunCommand("parallel --will-cite " + RunnerLine(args) + " --shard {}/2 --results " + dir +
                 "/p-{}.jsonl '>' /dev/null ::: 1 2 2>&1");
  ASSERT_EQ(p.status, 0) << p.output;
  const CommandResult inParallel =
      RunRunner({"merge", dir + "/p-1.jsonl", dir + "/p-2.jsonl", "--summary", dir + "/p.json"});
  ASSERT_EQ(inParallel.status, 0) << inParallel.output;
  EXPECT_EQ(ReadFile(dir + "/p.json"), once);
}

TEST_F(TournamentRun, RoundRobinOfThreeEnginesRatesEveryOne) {
  const CommandResult r = RunRunner(
      Concat({Quick("4"),
              TwoEngines(),
              FakeEngineWords("wide", {"--plan", "3.2,5"}),
              {"--tournament", "round-robin", "--seed", "3", "--summary", dir + "/s.json"}}));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Holds(r.output, "ratings (maximum likelihood"));
  EXPECT_EQ(
      JsonQuery(dir + "/s.json",
                "r['games'], [(p['first'], p['second'], p['games']) for p in r['pairings']], "
                "sorted(x['engine'] for x in r['ratings']), sum(x['games'] for x in r['ratings'])"),
      "(12, [('near', 'far', 4), ('near', 'wide', 4), ('far', 'wide', 4)], "
      "['far', 'near', 'wide'], 24)");
}

TEST_F(TournamentRun, SprtOnTheNamedPairingStopsTheRunOnceItDecides) {
  // "tee" draws to the tee, "wide" into the guard zone: tee wins every end.
  // Their pairing is the round robin's last; named in the other order, the
  // test still reads from its first engine's side.
  const CommandResult r =
      RunRunner(Concat({Quick("200"),
                        FakeEngineWords("mid", {"--plan", "2.375,6"}),
                        FakeEngineWords("tee", {"--plan", "2.375,4.88"}),
                        FakeEngineWords("wide", {"--plan", "3.6,7.5"}),
                        {"--tournament", "round-robin", "--noise", "0", "--seed", "4", "--sprt",
                         "elo0=0", "elo1=50", "pairing=wide:tee", "--summary", dir + "/s.json"}}));
  ASSERT_EQ(r.status, 0) << r.output;
  EXPECT_TRUE(Holds(r.output, "the test has decided"));
  EXPECT_TRUE(Holds(r.output, "SPRT tee vs wide"));
  EXPECT_EQ(JsonQuery(dir + "/s.json",
                      "r['sprt']['first'], r['sprt']['result'], r['games'] < 180, "
                      "r['pairings'][2]['losses']"),
            "('tee', 'H1', True, 0)");
}

// Time odds: "big" thinks three times as long per stone as "tiny" and has
// the time for it; "tiny" has not and forfeits, unless an increment refills
// its clock. The clocks come from the engines file, --each and an engine's
// own words; a run with other clocks is another run.
TEST_F(TournamentRun, EachEnginePlaysOnItsOwnClock) {
  const std::string file = dir + "/engines.json";
  std::ofstream(file) << "{\"engines\": [{\"name\": \"big\", \"cmd\": \"" FAKE_ENGINE
                         "\", \"args\": [\"--delay-ms\", \"60\"], \"time\": 30}, {\"name\": "
                         "\"tiny\", \"cmd\": \"" FAKE_ENGINE
                         "\", \"args\": [\"--delay-ms\", \"20\"]}]}";
  auto engines = [&file](const std::string& tinyTime) {
    return std::vector<std::string>{"--engines-file", file,        "--engine",        "conf=big",
                                    "--engine",       "conf=tiny", "time=" + tinyTime};
  };
  const std::string clocks =
      "[(e['timeBudgetMs'], e['incrementMs']) for e in r['engines'].values()]";
  ASSERT_EQ(
      RunRunner(Concat({Quick("1"), engines("0.1"), {"--record", dir + "/odds.json"}})).status, 0);
  EXPECT_EQ(
      RecordQuery(dir + "/odds.json",
                  "r['forfeit']['engine'], r['engines']['A']['thinkMsTotal'] > 100, " + clocks),
      "('B', True, [(30000.0, 0.0), (100.0, 0.0)])");
  ASSERT_EQ(RunRunner(Concat({Quick("1"),
                              engines("0.1"),
                              {"--each", "inc=0.2", "--record", dir + "/inc.json"}}))
                .status,
            0);
  EXPECT_EQ(RecordQuery(dir + "/inc.json", "r['forfeit'], " + clocks),
            "(None, [(30000.0, 200.0), (100.0, 200.0)])");

  const std::string results = dir + "/r.jsonl";
  const auto run = [&](const std::string& tinyTime) {
    return RunRunner(
        Concat({Quick("2"), engines(tinyTime), {"--results", results, "--seed", "1"}}));
  };
  ASSERT_EQ(run("0.1").status, 0);
  EXPECT_TRUE(Holds(FileLines(results)[0], "\"name\":\"tiny\",\"threads\":0,\"timeMs\":100.0"));
  const CommandResult other = run("0.2");
  EXPECT_EQ(other.status, 2);
  EXPECT_TRUE(Holds(other.output, "engine 2 (tiny): timeMs 100.0 vs 200.0"));
}

TEST_F(TournamentRun, EachOpeningIsPlayedAsAPairFromItsEndScoreAndStones) {
  std::ofstream(dir + "/openings.jsonl")
      << "{\"end\": 1}\n"
         "{\"end\": 3, \"score\": [2, 0], \"hammer\": \"A\", \"stones\": [[2.375, 6.5]]}\n";
  const CommandResult r =
      RunRunner(Concat({Quick("4"),
                        TwoEngines(),
                        {"--ends", "3", "--seed", "2", "--openings", dir + "/openings.jsonl",
                         "--record", dir + "/g.json", "--results", dir + "/r.jsonl"}}));
  ASSERT_EQ(r.status, 0) << r.output;
  for (int g = 3; g <= 4; ++g)  // the second opening's pair: seats swapped, same start
    EXPECT_EQ(RecordQuery(dir + "/g-" + std::to_string(g) + ".json",
                          "r['ends'][0]['hammer'], r['ends'][0]['end'], "
                          "r['ends'][0]['stones'][0]['shotIndex']"),
              "('A', 3, 1)");
  const std::vector<std::string> lines = FileLines(dir + "/r.jsonl");
  ASSERT_EQ(lines.size(), 5u);
  EXPECT_TRUE(Holds(lines[3], "\"opening\":1"));
  std::ofstream(dir + "/bad.jsonl") << "{\"end\": 2, \"score\": [9, 0]}\n";
  const CommandResult bad = RunRunner(
      Concat({Quick("2"), TwoEngines(), {"--ends", "3", "--openings", dir + "/bad.jsonl"}}));
  EXPECT_EQ(bad.status, 2);
  EXPECT_TRUE(Holds(bad.output, "opening 1: a score of 9-0 cannot arise"));
}
