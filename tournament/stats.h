// The tournament's statistics as pure functions: Elo from a score, the
// Elo difference of two engines with its 95 % interval and likelihood of
// superiority, the generalized SPRT on game pairs, and maximum-likelihood
// ratings for many engines. No I/O; every result is finite (no NaN or
// infinity reaches a table or a JSON document), whatever the counts.
//
// Conventions shared by every function here:
// - A win is 1 point, a draw 1/2, a loss 0. "Score" is the mean points per
//   game of the first engine.
// - Elo is logistic: score = 1 / (1 + 10^(-elo/400)).
// - A negative count is bad input and counts as 0.
// - Elo figures reported from data are clamped to +-kEloClamp (the Elo of
//   a score of 0.999 resp. 0.001), so all wins reads +1199.8, not infinity.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// Results of one engine against another, from the first engine's side.
struct Wdl {
  int64_t wins = 0, draws = 0, losses = 0;
};

// Outcomes of game pairs (two games with the same seeds and opening, the
// engines' seats swapped), from the first engine's side: count[k] is the
// number of pairs in which it scored k/2 points (0, 0.5, 1, 1.5, 2), a win
// counting 1 and a draw 1/2 — fishtest's LL, LD, DD+WL, WD, WW.
struct Pentanomial {
  std::array<int64_t, 5> count{};
};

// The score margin of the clamp: Elo is reported as for a score in [eps, 1 - eps].
constexpr double kScoreClampEps = 1e-3;
// -EloFromScore(kScoreClampEps) = 400 log10(999): the most extreme Elo reported.
constexpr double kEloClamp = 1199.826195290393;

double EloFromScore(double score);  // logistic: -400 log10(1/score - 1); +-inf at 0 and 1
double ScoreFromElo(double elo);    // 1 / (1 + 10^(-elo/400))
// EloFromScore clamped into [-kEloClamp, kEloClamp], so scores beyond
// [kScoreClampEps, 1 - kScoreClampEps] read as those (NaN reads as 0.5):
// always finite.
double ClampedEloFromScore(double score);
// Standard normal distribution function Phi(z) = (1 + erf(z / sqrt 2)) / 2.
double NormalCdf(double z);

// An interval needs this many independent samples (pairs, or games when
// they are not played in pairs) showing at least two different outcomes.
// Fewer, or all alike, estimate the spread of the results so badly (all
// alike: as zero) that the interval would claim a certainty the games do
// not give: four drawn pairs would read "0.0 [0.0, 0.0]".
constexpr int64_t kMinSamplesForInterval = 10;

// 800 / ln 10: the slope of the logistic Elo at a score of 1/2, so that nElo
// and Elo agree for small differences when a game's standard deviation is 1/2.
constexpr double kNeloScale = 347.43558552260146;

struct EloEstimate {
  double score = 0.5;  // mean points per game of the first engine
  double elo = 0.0;    // ClampedEloFromScore(score)
  // Whether the games give an interval (kMinSamplesForInterval). Without
  // one, [low, high] is the whole range [-kEloClamp, +kEloClamp] and the
  // nElo figures are 0: nothing is known.
  bool hasInterval = false;
  double low = -kEloClamp;  // 95 % interval of elo (see EstimateFromWdl)
  double high = kEloClamp;
  // Normalized Elo: the score's distance from 1/2 in standard deviations of
  // one game's result, times kNeloScale (see EstimateFromPentanomial), with
  // its 95 % interval.
  double nElo = 0.0, nEloLow = 0.0, nEloHigh = 0.0;
  double los = 0.5;        // likelihood of superiority, P(first engine stronger)
  double drawRatio = 0.0;  // draws / games
  int64_t games = 0;
};
// From per-game results (trinomial variance), as cutechess-cli reports it:
//   mu = (W + D/2) / N, sigma^2 = (W (1-mu)^2 + D (1/2-mu)^2 + L mu^2) / N,
//   [low, high] = elo(mu -+ 1.959964 sigma / sqrt N)  (so (high - low) / 2 is
//   cutechess's "+-" figure), LOS = (1 + erf((W - L) / sqrt(2 (W + L)))) / 2,
//   nElo = (mu - 1/2) / sigma * kNeloScale, its interval
//   nElo -+ 1.959964 kNeloScale / sqrt N (as fastchess computes it per game).
// An interval needs kMinSamplesForInterval games and two kinds of result.
// No games: score 0.5, elo 0, LOS 0.5. No decisive game: LOS 0.5.
EloEstimate EstimateFromWdl(const Wdl& wdl);
// From pair outcomes (pentanomial variance, per pair as fishtest does):
//   x_k = k/4 (the pair's mean points per game), P pairs,
//   mu = sum n_k x_k / P, sigma^2 = sum n_k (x_k - mu)^2 / P,
//   [low, high] = elo(mu -+ 1.959964 sigma / sqrt P), LOS = Phi((mu - 1/2) / (sigma / sqrt P)),
//   nElo = (mu - 1/2) / (sqrt 2 sigma) * kNeloScale, its interval
//   nElo -+ 1.959964 kNeloScale / sqrt(2 P), as fastchess and fishtest
//   normalize: sqrt 2 sigma is the standard deviation of one game's result
//   that a pair of two games with the same spread would show.
// An interval needs kMinSamplesForInterval pairs in two outcome classes.
// games = 2 P. drawRatio counts drawn games as given separately since pairs
// do not carry it: pass wdl too (drawRatio = draws / (W + D + L), 0 when empty).
// No pairs: as EstimateFromWdl with no games. Zero variance: LOS from the
// games' W and L as EstimateFromWdl gives it.
EloEstimate EstimateFromPentanomial(const Pentanomial& penta, const Wdl& wdl);

// Totals of pairs and of games (a pentanomial cannot give back the games'
// W/D/L: a pair scoring 1 may be two draws or a win and a loss, hence the
// runner keeps both). Negative counts count 0; sums saturate at INT64_MAX
// rather than overflow.
int64_t SaturatingAdd(int64_t a, int64_t b);  // max(a, 0) + max(b, 0), saturated
int64_t PairCount(const Pentanomial& penta);
int64_t GameCount(const Wdl& wdl);
// The pentanomial slot of one pair from the first engine's points in its two
// games (each 0, 0.5 or 1): k = 2 (p1 + p2). Returns -1 for points that are
// not 0, 0.5 or 1.
int PentanomialSlot(double firstGamePoints, double secondGamePoints);

struct SprtParams {
  double elo0 = 0.0, elo1 = 5.0, alpha = 0.05, beta = 0.05;
};
enum class SprtResult { kContinue, kH0, kH1 };
struct SprtState {
  double llr = 0.0;
  double lower = 0.0;  // ln(beta / (1 - alpha))
  double upper = 0.0;  // ln((1 - beta) / alpha)
  SprtResult result = SprtResult::kContinue;
};
// Why these parameters make no test, or "" when they do: alpha and beta in
// (0, 1) with alpha + beta < 1, elo0 < elo1, both finite with scores strictly
// inside (0, 1) (|elo| below about 6000).
std::string SprtParamsError(const SprtParams& params);
// Generalized SPRT on the pentanomial counts with logistic Elo bounds, as
// fishtest computes it (the MLE of the outcome distribution under the
// constraint that its mean score equals ScoreFromElo(elo0) resp. elo1).
// Stops with H1 when llr > upper, with H0 when llr < lower (the run goes on
// while llr stays inside [lower, upper]). No pairs: llr 0. Parameters that
// SprtParamsError rejects: llr 0, bounds 0, kContinue.
SprtState SprtFromPentanomial(const Pentanomial& penta, const SprtParams& params);
const char* SprtResultName(SprtResult r);  // "continue", "H0", "H1"

// Maximum-likelihood ratings (Bradley-Terry with draws as half a win) for
// n engines from all their games; ratings in Elo, mean 0. Engines with no
// games get 0. Also the 95 % interval per engine where it can be computed.
struct GameScore {
  int first = 0, second = 0;
  double firstPoints = 0.5;  // 1, 0.5 or 0
};
constexpr int kMaxRatedEngines = 256;
struct Rating {
  double elo = 0.0;
  // Whether the engine's games give an interval: kMinSamplesForInterval
  // games with two kinds of result. Without one, [low, high] is the whole
  // range [-kEloClamp, +kEloClamp].
  bool hasInterval = false;
  double low = -kEloClamp, high = kEloClamp;
  int64_t games = 0;
  double points = 0.0;
};
// Details (see ratings.cpp for the equations):
// - engineCount outside [1, kMaxRatedEngines] gives an empty list (the fit
//   costs O(n^3) per step and n^2 memory).
// - A game naming an engine outside [0, engineCount), an engine against
//   itself, or points outside [0, 1] (or NaN) is bad input and is skipped.
// - The mean 0 holds within each group of engines connected by games (a
//   round robin or gauntlet is one group); engines with no games get 0 and
//   no interval.
// - When the exact MLE is infinite (an engine or a set of engines won or
//   lost every game against the rest of its group), every pairing that was
//   played gets one extra virtual draw, which keeps the ratings finite.
//   games and points stay the real ones.
// - The interval is elo -+ 1.959964 standard errors from the inverse
//   Fisher information of the model, relative to the group's mean.
std::vector<Rating> MaximumLikelihoodRatings(int engineCount, const std::vector<GameScore>& games);
