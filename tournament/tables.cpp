#include "tournament/tables.h"

#include <algorithm>
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

// A signed figure as JSON: -0 would be written "-0.0".
json Figure(double v) { return json(v + 0.0); }

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
  t.sprtPairing = PairingIndexOf(plan.pairings, info.names, info.sprtPairing);
  t.sprt = info.sprt && t.sprtPairing >= 0;
  t.sprtParams = info.sprtParams;
  if (t.sprt)
    t.sprtState =
        SprtFromPentanomial(t.pairings[static_cast<size_t>(t.sprtPairing)].penta, t.sprtParams);
  return t;
}

std::string TablesJson(const Tables& t) {
  json pairings = json::array();
  for (const PairingTable& p : t.pairings) {
    const EloEstimate& e = p.elo;
    const bool known = e.hasInterval;
    pairings.push_back({{"first", t.names[static_cast<size_t>(p.pairing.first)]},
                        {"second", t.names[static_cast<size_t>(p.pairing.second)]},
                        {"games", GameCount(p.wdl)},
                        {"wins", p.wdl.wins},
                        {"draws", p.wdl.draws},
                        {"losses", p.wdl.losses},
                        {"pentanomial", p.penta.count},
                        {"score", e.score},
                        {"elo", Figure(e.elo)},
                        {"eloLow", known ? Figure(e.low) : json()},
                        {"eloHigh", known ? Figure(e.high) : json()},
                        {"nElo", known ? Figure(e.nElo) : json()},
                        {"nEloLow", known ? Figure(e.nEloLow) : json()},
                        {"nEloHigh", known ? Figure(e.nEloHigh) : json()},
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
                                {"elo", Figure(r.elo)},
                                {"low", r.hasInterval ? Figure(r.low) : json()},
                                {"high", r.hasInterval ? Figure(r.high) : json()},
                                {"games", r.games},
                                {"points", r.points}});
    }
  }
  if (t.sprt) {
    const SprtParams& p = t.sprtParams;
    const SprtState& s = t.sprtState;
    const Pairing& on = t.pairings[static_cast<size_t>(t.sprtPairing)].pairing;
    doc["sprt"] = {{"first", t.names[static_cast<size_t>(on.first)]},
                   {"second", t.names[static_cast<size_t>(on.second)]},
                   {"elo0", Figure(p.elo0)},   {"elo1", Figure(p.elo1)},
                   {"alpha", p.alpha},         {"beta", p.beta},
                   {"llr", Figure(s.llr)},     {"lower", Figure(s.lower)},
                   {"upper", Figure(s.upper)}, {"result", SprtResultName(s.result)}};
  }
  return doc.dump(2, ' ', false, json::error_handler_t::replace) + "\n";
}
