// The generalized sequential probability ratio test (GSPRT) on the
// pentanomial outcome of game pairs, with logistic Elo bounds, as fishtest
// computes it (M. Van den Bergh, "Generalized SPRT for multinomial
// outcomes"; fishtest's LLRcalc).
//
// The observed pairs give an empirical distribution phat over the five
// outcome values a_k = k/4 (the pair's mean points per game). Under H
// (score = s), the most likely outcome distribution is the p that maximizes
// the log-likelihood sum_k n_k ln p_k subject to sum_k p_k = 1 and
// sum_k p_k a_k = s. The Lagrange conditions give (Proposition 1.1 there)
//
//   p_k = phat_k / (1 + x (a_k - s)),                                  (1)
//
// where the multiplier x is the root of the secular equation
//
//   f(x) = sum_k phat_k (a_k - s) / (1 + x (a_k - s)) = 0             (2)
//
// on the interval where every 1 + x (a_k - s) > 0, that is
// x in (-1 / (a_max - s), -1 / (a_min - s)). f decreases strictly there
// (f'(x) = -sum phat_k (a_k - s)^2 / (1 + x (a_k - s))^2 < 0) from +inf to
// -inf, so bisection finds the single root. The log-likelihood ratio of
// H1 (score s1 = ScoreFromElo(elo1)) against H0 (s0 = ScoreFromElo(elo0)) is
//
//   LLR = N sum_k phat_k ln(p1_k / p0_k),                             (3)
//
// N the number of pairs. Empty outcome classes would make (1) degenerate, so
// as fishtest does every zero count is replaced by 1e-3 before phat and N are
// formed. Wald's bounds: lower = ln(beta / (1 - alpha)),
// upper = ln((1 - beta) / alpha); alpha = beta = 0.05 gives -+2.944.
#include <cmath>

#include "tournament/stats.h"

namespace {

// A pseudo-count for outcome classes not seen yet, fishtest's regularization.
constexpr double kEmptyClassCount = 1e-3;

// Root of the secular equation (2) for the deviations d_k = a_k - s, by
// bisection to the last representable double. Needs min d < 0 < max d.
double SecularRoot(const std::vector<double>& d, const std::vector<double>& phat) {
  double dMin = 0.0, dMax = 0.0;
  for (double v : d) {
    dMin = std::fmin(dMin, v);
    dMax = std::fmax(dMax, v);
  }
  double lo = -1.0 / dMax, hi = -1.0 / dMin;
  for (int i = 0; i < 2000; ++i) {
    const double mid = 0.5 * (lo + hi);
    if (mid <= lo || mid >= hi) break;
    double f = 0.0;
    for (size_t k = 0; k < d.size(); ++k) f += phat[k] * d[k] / (1.0 + mid * d[k]);
    if (f > 0.0) {
      lo = mid;  // f decreases: the root lies above
    } else {
      hi = mid;
    }
  }
  return 0.5 * (lo + hi);
}

// The distribution p maximizing sum phat_k ln p_k subject to sum p_k = 1 and
// sum p_k a_k = s, by (1) and (2). Empty when s is not strictly between the
// smallest and the largest value.
std::vector<double> ConstrainedMle(const std::vector<double>& values,
                                   const std::vector<double>& phat, double s) {
  if (values.empty() || values.size() != phat.size() || !std::isfinite(s)) return {};
  std::vector<double> d(values.size());
  bool below = false, above = false;
  for (size_t k = 0; k < values.size(); ++k) {
    d[k] = values[k] - s;
    below = below || d[k] < 0.0;
    above = above || d[k] > 0.0;
  }
  if (!below || !above) return {};
  const double x = SecularRoot(d, phat);
  std::vector<double> p(values.size());
  for (size_t k = 0; k < values.size(); ++k) p[k] = phat[k] / (1.0 + x * d[k]);
  return p;
}

}  // namespace

std::string SprtParamsError(const SprtParams& params) {
  const auto open01 = [](double v) { return v > 0.0 && v < 1.0; };
  if (!open01(params.alpha) || !open01(params.beta)) {
    return "alpha and beta must lie strictly between 0 and 1";
  }
  if (params.alpha + params.beta >= 1.0) return "alpha + beta must be below 1";
  if (!std::isfinite(params.elo0) || !std::isfinite(params.elo1)) {
    return "elo0 and elo1 must be finite numbers";
  }
  if (!(params.elo0 < params.elo1)) return "elo0 must be below elo1";
  if (!open01(ScoreFromElo(params.elo0)) || !open01(ScoreFromElo(params.elo1))) {
    return "elo0 and elo1 are too extreme: their scores round to 0 or 1";
  }
  return "";
}

SprtState SprtFromPentanomial(const Pentanomial& penta, const SprtParams& params) {
  SprtState state;
  if (!SprtParamsError(params).empty()) return state;
  state.lower = std::log(params.beta / (1.0 - params.alpha));
  state.upper = std::log((1.0 - params.beta) / params.alpha);
  if (PairCount(penta) == 0) return state;

  std::vector<double> values(5), phat(5);
  double n = 0.0;
  for (int k = 0; k < 5; ++k) {
    values[k] = k / 4.0;
    phat[k] = penta.count[k] > 0 ? static_cast<double>(penta.count[k]) : kEmptyClassCount;
    n += phat[k];
  }
  for (double& p : phat) p /= n;
  const std::vector<double> p0 = ConstrainedMle(values, phat, ScoreFromElo(params.elo0));
  const std::vector<double> p1 = ConstrainedMle(values, phat, ScoreFromElo(params.elo1));
  double llr = 0.0;
  for (int k = 0; k < 5; ++k) llr += phat[k] * std::log(p1[k] / p0[k]);
  // Both distributions are positive by construction; the guard only keeps
  // a rounding accident at the far ends of the root interval out of tables.
  state.llr = std::isfinite(llr) ? n * llr : 0.0;
  if (state.llr > state.upper) {
    state.result = SprtResult::kH1;
  } else if (state.llr < state.lower) {
    state.result = SprtResult::kH0;
  }
  return state;
}

const char* SprtResultName(SprtResult r) {
  switch (r) {
    case SprtResult::kH0:
      return "H0";
    case SprtResult::kH1:
      return "H1";
    case SprtResult::kContinue:
      break;
  }
  return "continue";
}
