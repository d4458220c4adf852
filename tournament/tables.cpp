#include "tournament/tables.h"

#include <algorithm>
#include <cstdio>
#include <map>
#include <nlohmann/json.hpp>

using nlohmann::json;

namespace {

// Points of engine `engine` in game g: 1 win, 0.5 draw, 0 loss.
double PointsOf(const GameLine& g, int engine) {
  const int seat = g.seat[0] == engine ? 0 : 1;
  if (g.result == GameResult::kDraw) return 0.5;
  return (g.result == GameResult::kWinA) == (seat == 0) ? 1.0 : 0.0;
}

void AddToEngine(const GameLine& g, int seat, EngineTotals* e) {
  e->games++;
  e->goCount += g.goCount[seat];
  e->thinkMs += g.thinkMs[seat];
  e->thinkMsMax = std::max(e->thinkMsMax, g.thinkMsMax[seat]);
  e->stonesLost += g.stonesLost[seat];
  if (g.forfeitSeat == seat) e->forfeits++;
}

std::string PairingName(const Tables& t, const PairingTable& p) {
  return t.names[static_cast<size_t>(p.pairing.first)] + " vs " +
         t.names[static_cast<size_t>(p.pairing.second)];
}

}  // namespace

RunPlan PlanOf(const RunInfo& info) {
  RunPlan plan;
  plan.pairings = PairingsOf(info.kind, static_cast<int>(info.names.size()));
  plan.gamesPerPairing = info.gamesPerPairing;
  plan.openingCount = info.openingCount;
  plan.seed = info.seed;
  return plan;
}

std::vector<GameLine> Deduplicate(const std::vector<GameLine>& games, int gameCount) {
  std::map<int, const GameLine*> byIndex;
  for (const GameLine& g : games)
    if (g.game >= 0 && g.game < gameCount) byIndex.emplace(g.game, &g);
  std::vector<GameLine> out;
  for (const auto& entry : byIndex) out.push_back(*entry.second);
  return out;
}

Tables ComputeTables(const RunInfo& info, const std::vector<GameLine>& games, bool ratings) {
  const RunPlan plan = PlanOf(info);
  Tables t;
  t.names = info.names;
  t.plannedGames = GameCount(plan);
  t.engines.resize(info.names.size());
  for (const Pairing& p : plan.pairings) t.pairings.push_back(PairingTable{p, {}, {}, {}});
  std::map<int, std::vector<const GameLine*>> pairs;
  std::vector<GameScore> scores;
  const int engineCount = static_cast<int>(info.names.size());
  for (const GameLine& g : games) {
    if (g.pairing < 0 || g.pairing >= static_cast<int>(t.pairings.size()) ||
        g.seat[0] >= engineCount || g.seat[1] >= engineCount)
      continue;
    PairingTable& p = t.pairings[static_cast<size_t>(g.pairing)];
    const double points = PointsOf(g, p.pairing.first);
    (points == 1.0 ? p.wdl.wins : points == 0.0 ? p.wdl.losses : p.wdl.draws)++;
    pairs[g.pair].push_back(&g);
    scores.push_back(GameScore{g.seat[0], g.seat[1], PointsOf(g, g.seat[0])});
    for (int s = 0; s < 2; ++s) AddToEngine(g, s, &t.engines[static_cast<size_t>(g.seat[s])]);
    t.games++;
  }
  for (const auto& entry : pairs) {
    if (entry.second.size() != 2) continue;
    PairingTable& p = t.pairings[static_cast<size_t>(entry.second[0]->pairing)];
    const double points =
        PointsOf(*entry.second[0], p.pairing.first) + PointsOf(*entry.second[1], p.pairing.first);
    p.penta.count[static_cast<size_t>(points * 2 + 0.5)]++;
  }
  for (PairingTable& p : t.pairings) {
    int64_t wholePairs = 0;
    for (int64_t c : p.penta.count) wholePairs += c;
    p.elo = wholePairs > 0 ? EstimateFromPentanomial(p.penta, p.wdl) : EstimateFromWdl(p.wdl);
  }
  if (ratings && engineCount > 2) t.ratings = MaximumLikelihoodRatings(engineCount, scores);
  t.sprt = info.sprt;
  t.sprtParams = info.sprtParams;
  if (t.sprt) t.sprtState = SprtFromPentanomial(t.pairings[0].penta, t.sprtParams);
  return t;
}

std::string FormatSprtLine(const Tables& t) {
  if (!t.sprt) return "";
  const SprtParams& p = t.sprtParams;
  const SprtState& s = t.sprtState;
  char line[512];
  std::snprintf(line, sizeof line,
                "SPRT %s (elo0 %g, elo1 %g, alpha %g, beta %g): LLR %.3f [%.3f, %.3f] %s\n",
                PairingName(t, t.pairings[0]).c_str(), p.elo0, p.elo1, p.alpha, p.beta, s.llr,
                s.lower, s.upper, SprtResultName(s.result));
  return line;
}

std::string FormatTables(const Tables& t) {
  std::string out =
      "after " + std::to_string(t.games) + " of " + std::to_string(t.plannedGames) + " games:\n";
  char row[512];
  std::snprintf(row, sizeof row, "  %-28s %6s %5s %5s %5s %7s %8s %18s %6s %6s  %s\n", "pairing",
                "games", "W", "D", "L", "score", "Elo", "(95% interval)", "LOS", "draws",
                "pairs 0-0.5-1-1.5-2");
  out += row;
  for (const PairingTable& p : t.pairings) {
    const EloEstimate& e = p.elo;
    std::string penta;
    for (int64_t c : p.penta.count) penta += (penta.empty() ? "" : "-") + std::to_string(c);
    std::snprintf(
        row, sizeof row,
        "  %-28s %6lld %5lld %5lld %5lld %6.1f%% %+8.1f [%+7.1f, %+7.1f] %5.1f%% %5.1f%%  %s\n",
        PairingName(t, p).c_str(), static_cast<long long>(GameCount(p.wdl)),
        static_cast<long long>(p.wdl.wins), static_cast<long long>(p.wdl.draws),
        static_cast<long long>(p.wdl.losses), 100.0 * e.score, e.elo, e.low, e.high, 100.0 * e.los,
        100.0 * e.drawRatio, penta.c_str());
    out += row;
  }
  if (!t.ratings.empty()) {
    out += "ratings (maximum likelihood, mean 0):\n";
    std::vector<size_t> order(t.ratings.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = i;
    std::stable_sort(order.begin(), order.end(),
                     [&](size_t a, size_t b) { return t.ratings[a].elo > t.ratings[b].elo; });
    for (size_t rank = 0; rank < order.size(); ++rank) {
      const Rating& r = t.ratings[order[rank]];
      std::snprintf(row, sizeof row,
                    "  %2zu %-24s %+8.1f [%+7.1f, %+7.1f] %6lld games %7.1f points\n", rank + 1,
                    t.names[order[rank]].c_str(), r.elo, r.low, r.high,
                    static_cast<long long>(r.games), r.points);
      out += row;
    }
  }
  return out + FormatEngineTable(t) + FormatSprtLine(t);
}

std::string FormatEngineTable(const Tables& t) {
  std::string out = "engines: GO mean and max in ms, stones lost, games forfeited\n";
  char row[512];
  for (size_t i = 0; i < t.engines.size(); ++i) {
    const EngineTotals& e = t.engines[i];
    std::snprintf(row, sizeof row, "  %-24s %9.1f %9.1f %6lld %6lld\n", t.names[i].c_str(),
                  e.goCount ? e.thinkMs / static_cast<double>(e.goCount) : 0.0, e.thinkMsMax,
                  static_cast<long long>(e.stonesLost), static_cast<long long>(e.forfeits));
    out += row;
  }
  return out;
}

std::string TablesJson(const Tables& t) {
  json pairings = json::array();
  for (const PairingTable& p : t.pairings) {
    const EloEstimate& e = p.elo;
    pairings.push_back({{"first", t.names[static_cast<size_t>(p.pairing.first)]},
                        {"second", t.names[static_cast<size_t>(p.pairing.second)]},
                        {"games", GameCount(p.wdl)},
                        {"wins", p.wdl.wins},
                        {"draws", p.wdl.draws},
                        {"losses", p.wdl.losses},
                        {"pentanomial", p.penta.count},
                        {"score", e.score},
                        {"elo", e.elo},
                        {"eloLow", e.low},
                        {"eloHigh", e.high},
                        {"los", e.los},
                        {"drawRatio", e.drawRatio}});
  }
  json doc{{"games", t.games},   {"plannedGames", t.plannedGames},
           {"engines", t.names}, {"pairings", pairings},
           {"ratings", nullptr}, {"sprt", nullptr}};
  if (!t.ratings.empty()) {
    doc["ratings"] = json::array();
    for (size_t i = 0; i < t.ratings.size(); ++i) {
      const Rating& r = t.ratings[i];
      doc["ratings"].push_back({{"engine", t.names[i]},
                                {"elo", r.elo},
                                {"low", r.low},
                                {"high", r.high},
                                {"games", r.games},
                                {"points", r.points}});
    }
  }
  if (t.sprt) {
    const SprtParams& p = t.sprtParams;
    const SprtState& s = t.sprtState;
    doc["sprt"] = {{"elo0", p.elo0},   {"elo1", p.elo1},
                   {"alpha", p.alpha}, {"beta", p.beta},
                   {"llr", s.llr},     {"lower", s.lower},
                   {"upper", s.upper}, {"result", SprtResultName(s.result)}};
  }
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
