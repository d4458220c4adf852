#include "tournament/results_file.h"

#include <nlohmann/json.hpp>
#include <algorithm>
#include <stdexcept>

#include "match/game.h"
#include "match/version.h"
#include "record/record_json.h"
#include "tournament/engine_paths.h"
#include "tournament/schedule.h"

using nlohmann::json;

namespace {

const char* const kHeaderKey = "curlingMatchResults";
constexpr int kFormat = 1;

// Strict readers for fields of a line read back: a value of another kind or
// out of range throws, which the line's reader turns into "not a result"
// (a float beyond int range must never be converted).
int AsInt(const json& v) {
  if (!v.is_number_integer()) throw std::runtime_error("not a whole number");
  const long long n = v.get<long long>();
  if (n < -1000000000LL || n > 1000000000LL) throw std::runtime_error("out of range");
  return static_cast<int>(n);
}

double AsDouble(const json& v) {
  if (!v.is_number()) throw std::runtime_error("not a number");
  return v.get<double>();
}

uint64_t AsSeed(const json& v) {
  const std::string text = v.get<std::string>();
  if (text.empty() || text.find_first_not_of("0123456789") != std::string::npos)
    throw std::runtime_error("not a seed");
  return std::stoull(text);
}

// An engine as the run's identity holds it: cmd and dir as given on the
// command line, and resolved (shards on other machines agree on the
// former, a run resumed here on the latter). Its clock is there only when
// it differs from the run's, so that a run without time odds keeps the
// identity it had before engines could have clocks of their own.
json EngineJson(const EngineLaunch& e, const GameSettings& s) {
  json env = json::array();
  for (const auto& kv : e.env) env.push_back({kv.first, kv.second});
  const ResolvedPaths resolved = ResolveEnginePaths(e);
  json j{{"name", e.name},
         {"cmd", e.program},
         {"cmdResolved", resolved.program},
         {"args", e.args},
         {"dir", e.dir},
         {"dirResolved", resolved.dir},
         {"threads", e.threads},
         {"env", env}};
  double budgetMs = 0, incMs = 0;
  ClockOf(e, s, &budgetMs, &incMs);
  if (budgetMs != s.budgetMs || incMs != s.incMs) {
    j["timeMs"] = budgetMs;
    j["incMs"] = incMs;
  }
  return j;
}

// Reads a game line; false when a field is missing or of the wrong kind.
bool GameLineFromJson(const json& j, GameLine* g) {
  if (!j.is_object()) return false;
  try {
    g->game = AsInt(j.at("game"));
    g->pair = AsInt(j.at("pair"));
    g->pairing = AsInt(j.at("pairing"));
    g->opening = AsInt(j.at("opening"));
    g->seed = AsSeed(j.at("seed"));
    if (!ResultFromName(j.at("result").get<std::string>(), &g->result)) return false;
    g->ends = AsInt(j.at("ends"));
    const json& f = j.at("forfeit");
    g->forfeitSeat = f.is_null() ? -1 : f.get<std::string>() == "A" ? 0 : 1;
    g->forfeitReason = j.at("forfeitReason").get<std::string>();
    for (int s = 0; s < 2; ++s) {
      g->seat[s] = AsInt(j.at("seats").at(s));
      g->points[s] = AsInt(j.at("points").at(s));
      g->goCount[s] = AsInt(j.at("goCount").at(s));
      g->thinkMs[s] = AsDouble(j.at("thinkMs").at(s));
      g->thinkMsMax[s] = AsDouble(j.at("thinkMsMax").at(s));
      g->stonesLost[s] = AsInt(j.at("stonesLost").at(s));
    }
  } catch (const std::exception&) {
    return false;
  }
  return g->game >= 0 && g->pair >= 0 && g->pairing >= 0 && g->seat[0] >= 0 && g->seat[1] >= 0;
}

bool IsHeader(const json& j) { return j.is_object() && j.contains(kHeaderKey); }

bool HeaderFromJson(const json& j, ResultsFile* out) {
  if (!IsHeader(j) || j[kHeaderKey] != kFormat) return false;
  try {
    out->version = j.at("version").get<std::string>();
    out->shardIndex = AsInt(j.at("shard").at(0)) - 1;
    out->shardCount = AsInt(j.at("shard").at(1));
    if (!j.at("run").is_object()) return false;
    out->run = j.at("run").dump();
    out->gamesPerPairing = AsInt(j.at("run").at("games"));
  } catch (const std::exception&) {
    return false;
  }
  return out->shardCount >= 1 && out->shardIndex >= 0 && out->shardIndex < out->shardCount &&
         out->gamesPerPairing >= 1;
}

// A header after the first, written when the run grew: the same run and
// shard with another number of games.
bool LaterHeader(const json& j, ResultsFile* file) {
  ResultsFile later;
  if (!HeaderFromJson(j, &later) || later.shardIndex != file->shardIndex ||
      later.shardCount != file->shardCount ||
      RunWithGames(later.run, 0) != RunWithGames(file->run, 0))
    return false;
  file->gamesPerPairing = std::max(file->gamesPerPairing, later.gamesPerPairing);
  file->headers++;
  return true;
}

}  // namespace

bool ReadResultsText(const std::string& text, ResultsFile* out, std::string* error) {
  ResultsFile file;
  size_t start = 0;
  for (int lineNumber = 1;; ++lineNumber) {
    const size_t stop = text.find('\n', start);
    if (stop == std::string::npos) break;  // a last line cut short is not read
    const json j = json::parse(text.begin() + static_cast<std::ptrdiff_t>(start),
                               text.begin() + static_cast<std::ptrdiff_t>(stop), nullptr, false);
    start = stop + 1;
    GameLine game;
    const bool header = lineNumber == 1 || IsHeader(j);
    const bool ok = lineNumber == 1 ? HeaderFromJson(j, &file)
                    : header        ? LaterHeader(j, &file)
                                    : GameLineFromJson(j, &game);
    if (!ok) {
      *error = lineNumber == 1 ? "line 1 is not a curling-match results header"
               : header ? "line " + std::to_string(lineNumber) + " is a header of another run"
                        : "line " + std::to_string(lineNumber) + " is not a game result";
      return false;
    }
    if (!header) file.games.push_back(game);
    file.completeBytes = start;
  }
  if (file.completeBytes == 0) {
    *error = "no results header";
    return false;
  }
  *out = std::move(file);
  return true;
}

std::string HeaderLine(const std::string& run, int shardIndex, int shardCount) {
  json header{{kHeaderKey, kFormat},
              {"version", kRunnerVersion},
              {"shard", {shardIndex + 1, shardCount}},
              {"run", json::parse(run)}};
  return header.dump() + "\n";
}

std::string RunWithGames(const std::string& run, int gamesPerPairing) {
  json j = json::parse(run, nullptr, false);
  if (!j.is_object()) return run;
  j["games"] = gamesPerPairing;
  return j.dump(-1, ' ', false, json::error_handler_t::replace);
}

std::string GameLineText(const GameLine& g) {
  json j{{"game", g.game},
         {"pair", g.pair},
         {"pairing", g.pairing},
         {"seats", {g.seat[0], g.seat[1]}},
         {"opening", g.opening},
         {"seed", std::to_string(g.seed)},
         {"result", ResultName(g.result)},
         {"points", {g.points[0], g.points[1]}},
         {"ends", g.ends},
         {"forfeit", g.forfeitSeat < 0 ? json(nullptr) : json(g.forfeitSeat == 0 ? "A" : "B")},
         {"forfeitReason", g.forfeitReason},
         {"goCount", {g.goCount[0], g.goCount[1]}},
         {"thinkMs", {g.thinkMs[0], g.thinkMs[1]}},
         {"thinkMsMax", {g.thinkMsMax[0], g.thinkMsMax[1]}},
         {"stonesLost", {g.stonesLost[0], g.stonesLost[1]}}};
  // Text that is not valid UTF-8 (an engine's bytes in a reason) is
  // replaced rather than refused, so a line is always written.
  return j.dump(-1, ' ', false, json::error_handler_t::replace) + "\n";
}

std::string RunIdentity(const TournamentOptions& o, const std::vector<std::string>& openings) {
  json engines = json::array();
  const GameSettings& s = o.settings;
  for (const EngineLaunch& e : o.engines) engines.push_back(EngineJson(e, s));
  json run{{"engines", engines},
           {"tournament", TournamentKindName(o.kind)},
           {"games", o.games},
           {"ends", s.ends},
           {"noise", s.noise},
           {"extraEnds", s.extraEnds},
           {"timeMs", s.budgetMs},
           {"goTimeoutMs", s.goTimeoutMs},
           {"pauseMs", s.pauseMs},
           {"recover", s.recover},
           {"seed", std::to_string(o.seed)},
           {"openings", openings},
           {"sprt", nullptr}};
  // Keys that came later are left out at their old meaning, so that a run
  // begun before them resumes.
  if (s.incMs != 0.0) run["incMs"] = s.incMs;
  if (o.sprt) {
    const SprtParams& p = o.sprtParams;
    run["sprt"] = {{"elo0", p.elo0}, {"elo1", p.elo1}, {"alpha", p.alpha}, {"beta", p.beta}};
    if (!o.sprtPairing.empty()) run["sprt"]["pairing"] = o.sprtPairing;
  }
  return run.dump(-1, ' ', false, json::error_handler_t::replace);
}

bool RunInfoFromIdentity(const std::string& run, RunInfo* info, std::string* error) {
  const json j = json::parse(run, nullptr, false);
  RunInfo r;
  try {
    for (const json& e : j.at("engines")) r.names.push_back(e.at("name").get<std::string>());
    const std::string kind = j.at("tournament").get<std::string>();
    r.kind = kind == "round-robin" ? TournamentKind::kRoundRobin
             : kind == "gauntlet"  ? TournamentKind::kGauntlet
                                   : TournamentKind::kPairs;
    r.gamesPerPairing = AsInt(j.at("games"));
    r.openingCount = static_cast<int>(j.at("openings").size());
    r.seed = AsSeed(j.at("seed"));
    const json& sprt = j.at("sprt");
    r.sprt = !sprt.is_null();
    if (r.sprt)
      r.sprtParams = SprtParams{AsDouble(sprt.at("elo0")), AsDouble(sprt.at("elo1")),
                                AsDouble(sprt.at("alpha")), AsDouble(sprt.at("beta"))};
    if (r.sprt && sprt.contains("pairing"))
      r.sprtPairing = sprt.at("pairing").get<std::vector<std::string>>();
  } catch (const std::exception&) {
    *error = "the run description in the header is incomplete";
    return false;
  }
  if (r.names.size() < 2 || (r.gamesPerPairing != 1 && r.gamesPerPairing % 2 != 0) ||
      r.gamesPerPairing < 1 ||
      PairingIndexOf(PairingsOf(r.kind, static_cast<int>(r.names.size())), r.names,
                     r.sprtPairing) < 0) {
    *error = "the run description in the header is not a valid run";
    return false;
  }
  *info = std::move(r);
  return true;
}
