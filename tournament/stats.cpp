// Elo from a score and the Elo difference of two engines with its interval
// and likelihood of superiority, from per-game results or from game pairs.
#include "tournament/stats.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

// Two-sided 95 % quantile of the standard normal distribution: Phi(z) = 0.975.
constexpr double kZ95 = 1.959963984540054;

double NonNegative(int64_t count) { return count > 0 ? static_cast<double>(count) : 0.0; }

// The estimate shared by both variance models, from the mean score mu, the
// standard deviation sigma of one sample (a game, or a pair's mean), the
// samples n, the standard deviation of one game's result that sigma stands
// for, and whether the samples give an interval at all.
EloEstimate FromMean(double mu, double sigma, double n, double gameSigma, bool interval) {
  EloEstimate e;
  e.score = mu;
  e.elo = ClampedEloFromScore(mu);
  e.hasInterval = interval && sigma > 0.0 && gameSigma > 0.0;
  if (!e.hasInterval) return e;
  const double se = sigma / std::sqrt(n);
  e.low = ClampedEloFromScore(mu - kZ95 * se);
  e.high = ClampedEloFromScore(mu + kZ95 * se);
  e.nElo = (mu - 0.5) / gameSigma * kNeloScale;
  e.nEloLow = (mu - kZ95 * se - 0.5) / gameSigma * kNeloScale;
  e.nEloHigh = (mu + kZ95 * se - 0.5) / gameSigma * kNeloScale;
  return e;
}

// kMinSamplesForInterval samples, not all in one class.
bool EnoughForInterval(const int64_t* counts, int classes) {
  int64_t samples = 0;
  int used = 0;
  for (int k = 0; k < classes; ++k) {
    samples = SaturatingAdd(samples, counts[k]);
    used += counts[k] > 0;
  }
  return samples >= kMinSamplesForInterval && used >= 2;
}

}  // namespace

double EloFromScore(double score) {
  if (score <= 0.0) return -std::numeric_limits<double>::infinity();
  if (score >= 1.0) return std::numeric_limits<double>::infinity();
  return -400.0 * std::log10(1.0 / score - 1.0);
}

double ScoreFromElo(double elo) { return 1.0 / (1.0 + std::pow(10.0, -elo / 400.0)); }

// Clamping the Elo rather than the score keeps both ends exactly opposite
// (1 - 0.001 is not exact in binary).
double ClampedEloFromScore(double score) {
  if (std::isnan(score)) return 0.0;
  return std::clamp(EloFromScore(score), -kEloClamp, kEloClamp);
}

double NormalCdf(double z) { return 0.5 * (1.0 + std::erf(z / std::sqrt(2.0))); }

int64_t SaturatingAdd(int64_t a, int64_t b) {
  const int64_t top = std::numeric_limits<int64_t>::max();
  a = std::max<int64_t>(a, 0);
  b = std::max<int64_t>(b, 0);
  return a > top - b ? top : a + b;
}

int64_t PairCount(const Pentanomial& penta) {
  int64_t n = 0;
  for (int64_t c : penta.count) n = SaturatingAdd(n, c);
  return n;
}

int64_t GameCount(const Wdl& wdl) {
  return SaturatingAdd(SaturatingAdd(wdl.wins, wdl.draws), wdl.losses);
}

int PentanomialSlot(double firstGamePoints, double secondGamePoints) {
  auto halves = [](double p) {
    if (p == 0.0) return 0;
    if (p == 0.5) return 1;
    if (p == 1.0) return 2;
    return -100;
  };
  const int k = halves(firstGamePoints) + halves(secondGamePoints);
  return k >= 0 ? k : -1;
}

// Trinomial model: each game is one sample of X in {1, 1/2, 0}.
//   mu = (W + D/2) / N
//   sigma^2 = (W (1 - mu)^2 + D (1/2 - mu)^2 + L (0 - mu)^2) / N
//   se = sigma / sqrt(N)
//   nElo = (mu - 1/2) / sigma * 800 / ln 10
// LOS as cutechess-cli prints it, from the decisive games only (draws carry
// no information on who is stronger in this approximation):
//   LOS = (1 + erf((W - L) / sqrt(2 (W + L)))) / 2
EloEstimate EstimateFromWdl(const Wdl& wdl) {
  const double w = NonNegative(wdl.wins), d = NonNegative(wdl.draws), l = NonNegative(wdl.losses);
  const double n = w + d + l;
  if (n <= 0.0) return EloEstimate{};
  const double mu = (w + 0.5 * d) / n;
  const double var = (w * (1 - mu) * (1 - mu) + d * (0.5 - mu) * (0.5 - mu) + l * mu * mu) / n;
  const double sigma = std::sqrt(std::max(var, 0.0));
  const int64_t counts[] = {wdl.wins, wdl.draws, wdl.losses};
  EloEstimate e = FromMean(mu, sigma, n, sigma, EnoughForInterval(counts, 3));
  const double decisive = w + l;
  e.los = decisive > 0.0 ? 0.5 * (1.0 + std::erf((w - l) / std::sqrt(2.0 * decisive))) : 0.5;
  e.drawRatio = d / n;
  e.games = GameCount(wdl);
  return e;
}

// Pentanomial model: each pair is one sample of X = k/4 in {0, 1/4, 1/2,
// 3/4, 1}, the pair's mean points per game. The two games of a pair are
// correlated (same seeds and opening), so the pair, not the game, is the
// independent sample:
//   mu = sum_k n_k (k/4) / P,  sigma^2 = sum_k n_k (k/4 - mu)^2 / P,
//   se = sigma / sqrt(P),  LOS = Phi((mu - 1/2) / se),
//   nElo = (mu - 1/2) / (sqrt(2) sigma) * 800 / ln 10.
// nElo divides by the spread of one game's result rather than of a pair's
// mean: a pair's mean of two games with spread s and no correlation spreads
// s / sqrt 2, so sqrt(2) sigma is that s, and nElo reads on the per-game
// scale whether or not the games were paired (fastchess, fishtest).
EloEstimate EstimateFromPentanomial(const Pentanomial& penta, const Wdl& wdl) {
  const double pairs = static_cast<double>(PairCount(penta));
  if (pairs <= 0.0) return EloEstimate{};
  double mu = 0.0;
  for (int k = 0; k < 5; ++k) mu += NonNegative(penta.count[k]) * (k / 4.0);
  mu /= pairs;
  double var = 0.0;
  for (int k = 0; k < 5; ++k) var += NonNegative(penta.count[k]) * (k / 4.0 - mu) * (k / 4.0 - mu);
  var /= pairs;
  const double sigma = std::sqrt(std::max(var, 0.0));
  EloEstimate e =
      FromMean(mu, sigma, pairs, std::sqrt(2.0) * sigma, EnoughForInterval(penta.count.data(), 5));
  const double se = sigma / std::sqrt(pairs);
  // Pairs that all ended alike have no spread to divide by, and a certainty
  // from a handful of them would be a claim the games cannot carry: the
  // decisive games' count is the honest measure then.
  e.los = se > 0.0 ? NormalCdf((mu - 0.5) / se) : EstimateFromWdl(wdl).los;
  const double games = static_cast<double>(GameCount(wdl));
  e.drawRatio = games > 0.0 ? NonNegative(wdl.draws) / games : 0.0;
  e.games = SaturatingAdd(PairCount(penta), PairCount(penta));
  return e;
}
