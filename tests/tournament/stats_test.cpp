// The statistics against figures worked out by hand here and against
// independent computations written in the test (a direct search of the
// constrained likelihood for the SPRT, the first-order conditions for the
// ratings).
#include "tournament/stats.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>

namespace {

constexpr double kZ = 1.959963984540054;

bool AllFinite(const EloEstimate& e) {
  return std::isfinite(e.score) && std::isfinite(e.elo) && std::isfinite(e.low) &&
         std::isfinite(e.high) && std::isfinite(e.los) && std::isfinite(e.drawRatio);
}

TEST(Elo, LogisticConversionAtWorkedScores) {
  struct Case {
    double score, elo;
  };
  for (const Case& c : {Case{0.75, 190.848501887865}, Case{0.25, -190.848501887865}, Case{0.5, 0.0},
                        Case{10.0 / 11.0, 400.0}, Case{1.0 / 11.0, -400.0}}) {
    SCOPED_TRACE(c.score);
    EXPECT_NEAR(EloFromScore(c.score), c.elo, 1e-9);
    EXPECT_NEAR(ScoreFromElo(c.elo), c.score, 1e-12);
  }
  EXPECT_EQ(EloFromScore(0.0), -INFINITY);
  EXPECT_EQ(EloFromScore(1.0), INFINITY);
  EXPECT_DOUBLE_EQ(ClampedEloFromScore(0.0), -kEloClamp);
  EXPECT_DOUBLE_EQ(ClampedEloFromScore(1.0), kEloClamp);
  EXPECT_EQ(ClampedEloFromScore(NAN), 0.0);
}

// By hand. W 6, D 2, L 2: mu = 7/10, sigma^2 = (6 (0.3)^2 + 2 (0.2)^2 +
// 2 (0.7)^2) / 10 = 0.16, se = 0.4 / sqrt(10); LOS = (1 + erf(4 / sqrt 16)) / 2;
// nElo 0.2 / 0.4 800 / ln 10 = 173.7178, +- z 800 / ln 10 / sqrt(10) = 215.3388.
// Pairs 1, 2, 3, 3, 1: x = k/4, mu = 5.25 / 10 = 0.525, sigma^2 = (0.525^2 +
// 2 0.275^2 + 3 0.025^2 + 3 0.225^2 + 0.475^2) / 10 = 0.080625, se =
// sqrt(0.0080625), LOS = Phi(0.025 / se) = Phi(0.278423); nElo 0.025 /
// sqrt(2 0.080625) 800 / ln 10 = 21.6304, +- z 800 / ln 10 / sqrt(20) = 152.2676.
TEST(Elo, IntervalLosAndNormalizedEloByHand) {
  const struct {
    const char* name;
    EloEstimate e;
    double score, se, los, drawRatio;
    int64_t games;
    double nElo, nEloHalfWidth;
  } cases[] = {
      {"W 6, D 2, L 2", EstimateFromWdl(Wdl{6, 2, 2}), 0.7, 0.4 / std::sqrt(10.0), 0.9213504, 0.2,
       10, 173.717793, 215.338850},
      {"pairs 1, 2, 3, 3, 1", EstimateFromPentanomial(Pentanomial{{1, 2, 3, 3, 1}}, Wdl{8, 5, 7}),
       0.525, std::sqrt(0.0080625), 0.609656, 0.25, 20, 21.630395, 152.267561},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_DOUBLE_EQ(c.e.score, c.score);
    EXPECT_NEAR(c.e.low, EloFromScore(c.score - kZ * c.se), 1e-9);
    EXPECT_NEAR(c.e.high, EloFromScore(c.score + kZ * c.se), 1e-9);
    EXPECT_NEAR(c.e.los, c.los, 1e-6);
    EXPECT_DOUBLE_EQ(c.e.drawRatio, c.drawRatio);
    EXPECT_EQ(c.e.games, c.games);
    EXPECT_NEAR(c.e.nElo, c.nElo, 1e-6);
    EXPECT_NEAR(c.e.nEloHigh - c.e.nElo, c.nEloHalfWidth, 1e-6);
    EXPECT_NEAR(c.e.nElo - c.e.nEloLow, c.nEloHalfWidth, 1e-6);
  }
  EXPECT_NEAR(cases[0].e.elo, 147.1907, 1e-4);
  // Pairing removes the variance the seats share: the same games counted
  // one by one give a wider interval here.
  const EloEstimate perGame = EstimateFromWdl(Wdl{8, 5, 7});
  EXPECT_GT(perGame.high - perGame.low, cases[1].e.high - cases[1].e.low);
  // Below a score of 1/2 the figure is negative, by the same distance.
  EXPECT_NEAR(EstimateFromPentanomial(Pentanomial{{1, 3, 3, 2, 1}}, Wdl{}).nElo, -cases[1].e.nElo,
              1e-9);
}

// Counts that once produced NaN or infinity in tables: every figure must be
// finite and take its documented value. None of them gives an interval.
TEST(Elo, DegenerateCountsGiveDocumentedFiniteValues) {
  struct Case {
    const char* name;
    Wdl wdl;
    Pentanomial penta;
    double elo, los;
  };
  const double c = kEloClamp;
  const Case cases[] = {
      {"no games", {}, {}, 0.0, 0.5},
      {"all wins", {10, 0, 0}, {{0, 0, 0, 0, 5}}, c, -1.0},
      {"all losses", {0, 0, 10}, {{5, 0, 0, 0, 0}}, -c, -1.0},
      {"all draws", {0, 10, 0}, {{0, 0, 5, 0, 0}}, 0.0, 0.5},
      {"single pair won", {2, 0, 0}, {{0, 0, 0, 0, 1}}, c, -1.0},
      {"negative counts", {-3, -1, -2}, {{-1, -1, -1, -1, -1}}, 0.0, 0.5},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.name);
    for (const EloEstimate& e : {EstimateFromWdl(k.wdl), EstimateFromPentanomial(k.penta, k.wdl)}) {
      EXPECT_TRUE(AllFinite(e));
      EXPECT_DOUBLE_EQ(e.elo, k.elo);
      EXPECT_FALSE(e.hasInterval);
      EXPECT_DOUBLE_EQ(e.low, -c);
      EXPECT_DOUBLE_EQ(e.high, c);
      EXPECT_EQ(std::vector<double>({e.nElo, e.nEloLow, e.nEloHigh}), std::vector<double>(3, 0.0));
      if (k.los >= 0.0) {
        EXPECT_DOUBLE_EQ(e.los, k.los);
      }
    }
  }
  // All wins: the LOS follows the decisive games; pairs that all ended
  // alike have no spread, and one won pair is no certainty.
  EXPECT_NEAR(EstimateFromWdl(Wdl{10, 0, 0}).los, (1.0 + std::erf(10.0 / std::sqrt(20.0))) / 2,
              1e-12);
  EXPECT_NEAR(EstimateFromPentanomial(Pentanomial{{0, 0, 0, 0, 1}}, Wdl{2, 0, 0}).los, 0.9213504,
              1e-7);
  EXPECT_DOUBLE_EQ(EstimateFromPentanomial(Pentanomial{{5, 0, 0, 0, 0}}, Wdl{0, 0, 10}).los,
                   EstimateFromWdl(Wdl{0, 0, 10}).los);
  EXPECT_EQ(EstimateFromPentanomial(Pentanomial{{0, 0, 0, 0, 5}}, Wdl{}).drawRatio, 0.0);
}

// A handful of samples, or samples all alike, give no interval: four games
// of an engine against itself split 2-2 would read "0.0 [0.0, 0.0]". Ten
// samples of two kinds do.
TEST(Elo, AnIntervalNeedsTenSamplesOfTwoKinds) {
  struct PairCase {
    Pentanomial penta;
    bool interval;
  };
  for (const PairCase& k : {PairCase{{{0, 0, 2, 0, 0}}, false}, PairCase{{{0, 0, 0, 0, 1}}, false},
                            PairCase{{{1, 2, 3, 2, 1}}, false}, PairCase{{{0, 0, 30, 0, 0}}, false},
                            PairCase{{{0, 0, 9, 1, 0}}, true}, PairCase{{{1, 0, 0, 0, 9}}, true},
                            PairCase{{{-5, 0, 9, 0, 0}}, false}}) {
    const EloEstimate e = EstimateFromPentanomial(k.penta, Wdl{});
    EXPECT_EQ(e.hasInterval, k.interval) << ::testing::PrintToString(k.penta.count);
    if (e.hasInterval) {
      EXPECT_LT(e.low, e.elo);
      EXPECT_GT(e.high, e.elo);
      EXPECT_LT(e.nEloLow, e.nElo);
      EXPECT_GT(e.nEloHigh, e.nElo);
    }
  }
  struct GameCase {
    Wdl wdl;
    bool interval;
  };
  for (const GameCase& k :
       {GameCase{{2, 0, 2}, false}, GameCase{{5, 0, 4}, false}, GameCase{{0, 12, 0}, false},
        GameCase{{5, 0, 5}, true}, GameCase{{0, 9, 1}, true}}) {
    EXPECT_EQ(EstimateFromWdl(k.wdl).hasInterval, k.interval)
        << k.wdl.wins << "-" << k.wdl.draws << "-" << k.wdl.losses;
  }
}

// A pair whose points are not those of two games has no slot.
TEST(Elo, PentanomialSlotOfTwoGames) {
  const double points[][3] = {{0, 0, 0},   {0.5, 0, 1}, {1, 0, 2},     {0.5, 0.5, 2},
                              {0.5, 1, 3}, {1, 1, 4},   {0.25, 1, -1}, {NAN, 0, -1}};
  for (const auto& p : points) EXPECT_EQ(PentanomialSlot(p[0], p[1]), p[2]) << p[0] << p[1];
}

// ---- SPRT ----

// The pair outcome log-likelihood sum n_k ln p_k, maximized over the
// distributions p with mean s by a compass search in the three free
// coordinates (p1, p2, p3; p0 and p4 follow from the two constraints). This
// shares nothing with the Lagrange route of the implementation.
double MaxConstrainedLogLikelihood(const std::array<double, 5>& n, double s) {
  auto complete = [s](const std::array<double, 3>& q, std::array<double, 5>& p) {
    p[1] = q[0];
    p[2] = q[1];
    p[3] = q[2];
    p[4] = s - q[0] / 4 - q[1] / 2 - 3 * q[2] / 4;
    p[0] = 1 - q[0] - q[1] - q[2] - p[4];
    for (double v : p) {
      if (!(v > 0.0)) return false;
    }
    return true;
  };
  auto value = [&](const std::array<double, 3>& q) {
    std::array<double, 5> p{};
    if (!complete(q, p)) return -std::numeric_limits<double>::infinity();
    double l = 0.0;
    for (int k = 0; k < 5; ++k) l += n[k] * std::log(p[k]);
    return l;
  };
  std::array<double, 3> q{0.01, 0.01, 0.01};
  for (double& v : q) v = std::min(s, 1 - s) / 3;  // a feasible start
  double best = value(q);
  for (double step = 0.05; step > 1e-15;) {
    bool improved = false;
    for (int axis = 0; axis < 3; ++axis) {
      for (double sign : {1.0, -1.0}) {
        std::array<double, 3> t = q;
        t[axis] += sign * step;
        const double v = value(t);
        if (v > best) {
          best = v;
          q = t;
          improved = true;
        }
      }
    }
    if (!improved) step /= 2;
  }
  return best;
}

double ReferenceLlr(const Pentanomial& penta, double elo0, double elo1) {
  std::array<double, 5> n{};
  for (int k = 0; k < 5; ++k) n[k] = penta.count[k] > 0 ? penta.count[k] : 1e-3;
  return MaxConstrainedLogLikelihood(n, ScoreFromElo(elo1)) -
         MaxConstrainedLogLikelihood(n, ScoreFromElo(elo0));
}

TEST(Sprt, LlrMatchesDirectMaximizationOfTheLikelihood) {
  struct Case {
    Pentanomial penta;
    double elo0, elo1;
  };
  const Case cases[] = {
      {{{10789, 19328, 33806, 19402, 10543}}, -3, 1},  // a long fishtest run
      {{{1, 2, 3, 3, 1}}, 0, 5},
      {{{0, 0, 5, 10, 3}}, 0, 5},  // empty classes: regularized
      {{{40, 50, 30, 12, 2}}, -10, 10},
      {{{0, 0, 0, 0, 1}}, 0, 5},  // a single pair
  };
  for (const Case& c : cases) {
    const SprtState s = SprtFromPentanomial(c.penta, SprtParams{c.elo0, c.elo1, 0.05, 0.05});
    const double reference = ReferenceLlr(c.penta, c.elo0, c.elo1);
    SCOPED_TRACE(reference);
    EXPECT_TRUE(std::isfinite(s.llr));
    EXPECT_NEAR(s.llr, reference, 1e-6 * std::max(1.0, std::fabs(reference)));
  }
}

// Wald's bounds, ln(beta / (1 - alpha)) and ln((1 - beta) / alpha), and the
// decision once the LLR leaves them.
TEST(Sprt, DecisionFollowsWaldsBounds) {
  const SprtState odd = SprtFromPentanomial(Pentanomial{}, SprtParams{0, 5, 0.1, 0.2});
  EXPECT_DOUBLE_EQ(odd.lower, std::log(0.2 / 0.9));
  EXPECT_DOUBLE_EQ(odd.upper, std::log(0.8 / 0.1));
  struct Case {
    Pentanomial penta;
    SprtResult result;
  };
  const SprtParams params{0, 5, 0.05, 0.05};
  const Case cases[] = {
      {{{0, 0, 0, 0, 0}}, SprtResult::kContinue},  {{{1, 2, 3, 3, 1}}, SprtResult::kContinue},
      {{{10, 40, 100, 120, 60}}, SprtResult::kH1}, {{{60, 120, 100, 40, 10}}, SprtResult::kH0},
      {{{0, 0, 0, 0, 1000}}, SprtResult::kH1},   // all wins: large, finite
      {{{0, 0, 10000, 0, 0}}, SprtResult::kH0},  // all draws: no gain at all
  };
  for (const Case& c : cases) {
    const SprtState s = SprtFromPentanomial(c.penta, params);
    SCOPED_TRACE(s.llr);
    EXPECT_TRUE(std::isfinite(s.llr));
    EXPECT_EQ(s.result, c.result);
    EXPECT_NEAR(s.lower, -2.944, 5e-4);
    EXPECT_NEAR(s.upper, 2.944, 5e-4);
  }
  EXPECT_EQ(SprtFromPentanomial(Pentanomial{}, params).llr, 0.0);
}

TEST(Sprt, ParametersThatMakeNoTestAreRefused) {
  struct Case {
    SprtParams params;
    bool valid;
  };
  const Case cases[] = {
      {{0, 5, 0.05, 0.05}, true},         {{-3, 1, 0.01, 0.2}, true},
      {{5, 0, 0.05, 0.05}, false},        {{5, 5, 0.05, 0.05}, false},
      {{0, 5, 0.0, 0.05}, false},         {{0, 5, 0.05, 1.0}, false},
      {{0, 5, 0.6, 0.5}, false},          {{NAN, 5, 0.05, 0.05}, false},
      {{0, INFINITY, 0.05, 0.05}, false}, {{0, 1e6, 0.05, 0.05}, false},
  };
  for (const Case& c : cases) {
    const std::string why = SprtParamsError(c.params);
    SCOPED_TRACE(why);
    EXPECT_EQ(why.empty(), c.valid);
    if (!c.valid) {
      const SprtState s = SprtFromPentanomial(Pentanomial{{1, 2, 3, 4, 5}}, c.params);
      EXPECT_EQ(s.llr, 0.0);
      EXPECT_EQ(s.result, SprtResult::kContinue);
    }
  }
}

// ---- Ratings ----

std::vector<GameScore> Games(int first, int second, int wins, int draws, int losses) {
  std::vector<GameScore> g;
  for (int i = 0; i < wins; ++i) g.push_back({first, second, 1.0});
  for (int i = 0; i < draws; ++i) g.push_back({first, second, 0.5});
  for (int i = 0; i < losses; ++i) g.push_back({first, second, 0.0});
  return g;
}

std::vector<GameScore> Join(std::initializer_list<std::vector<GameScore>> parts) {
  std::vector<GameScore> all;
  for (const auto& p : parts) all.insert(all.end(), p.begin(), p.end());
  return all;
}

// At the maximum of the likelihood every engine's expected points equal its
// actual points: the first-order condition, checked from the games alone.
TEST(Ratings, ThreeEnginesFittedScoresEqualActualScores) {
  const std::vector<GameScore> games =
      Join({Games(0, 1, 6, 2, 2), Games(1, 2, 5, 4, 1), Games(2, 0, 2, 3, 5)});
  const std::vector<Rating> r = MaximumLikelihoodRatings(3, games);
  ASSERT_EQ(r.size(), 3u);
  double mean = 0.0;
  std::vector<double> expected(3, 0.0);
  for (const GameScore& g : games) {
    const double p = ScoreFromElo(r[g.first].elo - r[g.second].elo);
    expected[g.first] += p;
    expected[g.second] += 1.0 - p;
  }
  for (int i = 0; i < 3; ++i) {
    mean += r[i].elo / 3;
    EXPECT_NEAR(expected[i], r[i].points, 1e-9) << i;
    EXPECT_EQ(r[i].games, 20);
    EXPECT_LT(r[i].low, r[i].elo);
    EXPECT_GT(r[i].high, r[i].elo);
  }
  EXPECT_NEAR(mean, 0.0, 1e-9);
  EXPECT_DOUBLE_EQ(r[0].points, 7 + 6.5);
  EXPECT_GT(r[0].elo, r[1].elo);
  EXPECT_GT(r[1].elo, r[2].elo);
}

TEST(Ratings, DegenerateGamesGiveFiniteDocumentedRatings) {
  // Engine 0 won everything, engine 3 never played, bad records are skipped.
  const std::vector<GameScore> games = Join({
      Games(0, 1, 5, 0, 0),
      Games(0, 2, 4, 0, 0),
      Games(1, 2, 3, 2, 1),
      {{0, 0, 1.0}, {-1, 2, 1.0}, {1, 7, 0.0}, {1, 2, NAN}, {1, 2, 1.5}},
  });
  const std::vector<Rating> r = MaximumLikelihoodRatings(4, games);
  ASSERT_EQ(r.size(), 4u);
  for (const Rating& x : r) {
    EXPECT_TRUE(std::isfinite(x.elo) && std::isfinite(x.low) && std::isfinite(x.high));
  }
  EXPECT_GT(r[0].elo, r[1].elo);
  EXPECT_GT(r[1].elo, r[2].elo);
  EXPECT_EQ(r[0].games, 9);
  EXPECT_DOUBLE_EQ(r[0].points, 9.0);
  EXPECT_EQ(r[3].games, 0);
  EXPECT_EQ(r[3].elo, 0.0);
  // Engine 0 won all its games and 3 played none: no interval; 1 and 2 had
  // wins and losses in at least ten games each.
  EXPECT_EQ(
      std::vector<bool>({r[0].hasInterval, r[1].hasInterval, r[2].hasInterval, r[3].hasInterval}),
      std::vector<bool>({false, true, true, false}));
  EXPECT_EQ(r[3].low, -kEloClamp);
  EXPECT_EQ(r[3].high, kEloClamp);
  EXPECT_NEAR(r[0].elo + r[1].elo + r[2].elo, 0.0, 1e-9);

  EXPECT_TRUE(MaximumLikelihoodRatings(0, games).empty());
  const std::vector<Rating> none = MaximumLikelihoodRatings(2, {});
  EXPECT_EQ(none[0].elo, 0.0);
  EXPECT_FALSE(none[1].hasInterval);
}

// Two pairs of engines that never met are rated separately, each around
// its own mean; within a pair the difference is the Elo of the score and
// each rating carries half the binomial standard error of the difference,
// 1 / sqrt(n s (1 - s)) natural units.
TEST(Ratings, SeparatePairsReduceToTheirScores) {
  const std::vector<Rating> r =
      MaximumLikelihoodRatings(4, Join({Games(0, 1, 7, 0, 3), Games(2, 3, 1, 1, 8)}));
  EXPECT_NEAR(r[0].elo, -r[1].elo, 1e-9);
  EXPECT_NEAR(r[2].elo, -r[3].elo, 1e-9);
  EXPECT_NEAR(r[0].elo - r[1].elo, EloFromScore(0.7), 1e-9);
  EXPECT_NEAR(r[2].elo - r[3].elo, EloFromScore(0.15), 1e-9);
  const double half = kZ * 400 / std::log(10.0) / (2 * std::sqrt(10 * 0.7 * 0.3));
  EXPECT_NEAR(r[0].high - r[0].elo, half, 1e-6);
  EXPECT_NEAR(r[1].elo - r[1].low, half, 1e-6);
}

// Random counts from none to INT64_MAX, zeros mixed in, and random games
// among five engines: nothing may turn into NaN or infinity, the intervals
// hold their estimate and the SPRT decision follows its LLR.
TEST(Stats, RandomInputStaysFiniteAndOrdered) {
  std::mt19937_64 rng(2026);
  auto count = [&rng]() -> int64_t {
    switch (rng() % 5) {
      case 0:
        return 0;
      case 1:
        return static_cast<int64_t>(rng() % 5);
      case 2:
        return static_cast<int64_t>(rng() % 1000);
      case 3:
        return static_cast<int64_t>(rng() >> (1 + rng() % 63));
      default:
        return rng() % 50 == 0 ? std::numeric_limits<int64_t>::max() : 1;
    }
  };
  for (int i = 0; i < 5000; ++i) {
    Pentanomial p;
    for (int64_t& c : p.count) c = count();
    const Wdl w{count(), count(), count()};
    for (const EloEstimate& e : {EstimateFromWdl(w), EstimateFromPentanomial(p, w)}) {
      ASSERT_TRUE(AllFinite(e)) << i;
      ASSERT_TRUE(e.low <= e.elo && e.elo <= e.high) << i;
      ASSERT_TRUE(e.los >= 0.0 && e.los <= 1.0) << i;
    }
    const SprtState s = SprtFromPentanomial(p, SprtParams{-5.0 + i % 7, 3.0 + i % 5, 0.05, 0.1});
    ASSERT_TRUE(std::isfinite(s.llr)) << i;
    const SprtResult expected = s.llr > s.upper   ? SprtResult::kH1
                                : s.llr < s.lower ? SprtResult::kH0
                                                  : SprtResult::kContinue;
    ASSERT_EQ(s.result, expected) << i;
  }
  const double points[] = {0.0, 0.5, 1.0};
  for (int i = 0; i < 300; ++i) {
    std::vector<GameScore> games(rng() % 40);
    for (GameScore& g : games) g = {int(rng() % 5), int(rng() % 5), points[rng() % 3]};
    for (const Rating& r : MaximumLikelihoodRatings(5, games)) {
      ASSERT_TRUE(std::isfinite(r.elo) && r.low <= r.elo && r.elo <= r.high) << i;
      ASSERT_LT(std::fabs(r.elo), 1e4) << i;
    }
  }
}

}  // namespace
