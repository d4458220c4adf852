// Maximum-likelihood ratings of many engines: the Bradley-Terry model with
// a draw counted as half a win.
//
// Engine i has strength theta_i (natural units); in a game against j it
// scores with expectation
//
//   p_ij = 1 / (1 + exp(theta_j - theta_i)),     elo_i = theta_i 400 / ln 10.
//
// With n_ij games between i and j and w_ij the points i scored in them, the
// log-likelihood is
//
//   l(theta) = sum_{i<j} [w_ij theta_i + w_ji theta_j - n_ij ln(e^theta_i + e^theta_j)],
//
// concave, with gradient g_i = W_i - sum_j n_ij p_ij (W_i: i's points) and
// Hessian -L, L the weighted Laplacian
//
//   L_ij = -n_ij p_ij (1 - p_ij) (i != j),   L_ii = sum_j n_ij p_ij (1 - p_ij).
//
// At the maximum every engine's expected points equal its actual points
// (g = 0). l is unchanged by adding a constant to every theta, so the ratings
// are fixed by mean 0; L is then singular along (1, ..., 1), and Newton's
// step solves (L + J/m) d = g (J the all-ones matrix, m engines), which
// equals L^+ g because g sums to 0. A backtracking line search keeps every
// step uphill, so the iteration converges from theta = 0 for any data whose
// maximum exists.
//
// The maximum exists (finite) exactly when, for every split of a group into
// two parts, each part scored some points against the other (Ford's
// condition), i.e. the graph "i scored against j" is strongly connected.
// Otherwise one virtual draw is added to every pairing that was played,
// after which every played edge runs both ways.
//
// The covariance of the mean-0 estimate is the Moore-Penrose inverse
// L^+ = (L + J/m)^{-1} - J/m at the maximum (the inverse Fisher information),
// so engine i's 95 % interval is elo_i -+ 1.959964 (400 / ln 10) sqrt(L^+_ii).
#include <algorithm>
#include <cmath>

#include "tournament/stats.h"

namespace {

constexpr double kZ95 = 1.959963984540054;
const double kEloPerNatural = 400.0 / std::log(10.0);

using Matrix = std::vector<std::vector<double>>;

// Games and points between the engines of one connected group.
struct Group {
  std::vector<int> engines;  // indices into the full list
  Matrix games;              // n_ij, symmetric
  Matrix points;             // w_ij: points of i against j
};

double Expected(double thetaI, double thetaJ) { return 1.0 / (1.0 + std::exp(thetaJ - thetaI)); }

// ln(e^a + e^b) without overflow.
double LogSumExp(double a, double b) {
  const double hi = std::max(a, b);
  return hi + std::log1p(std::exp(-std::fabs(a - b)));
}

double LogLikelihood(const Group& g, const std::vector<double>& theta) {
  double l = 0.0;
  const size_t m = theta.size();
  for (size_t i = 0; i < m; ++i) {
    for (size_t j = i + 1; j < m; ++j) {
      if (g.games[i][j] <= 0.0) continue;
      l += g.points[i][j] * theta[i] + g.points[j][i] * theta[j] -
           g.games[i][j] * LogSumExp(theta[i], theta[j]);
    }
  }
  return l;
}

// L + J/m at theta: the Newton matrix, regular on a connected group.
Matrix ShiftedLaplacian(const Group& g, const std::vector<double>& theta) {
  const size_t m = theta.size();
  Matrix a(m, std::vector<double>(m, 1.0 / m));
  for (size_t i = 0; i < m; ++i) {
    for (size_t j = 0; j < m; ++j) {
      if (i == j || g.games[i][j] <= 0.0) continue;
      const double p = Expected(theta[i], theta[j]);
      const double w = g.games[i][j] * p * (1.0 - p);
      a[i][j] -= w;
      a[i][i] += w;
    }
  }
  return a;
}

// Inverse by Gauss-Jordan elimination with partial pivoting. A (numerically)
// singular matrix gives an empty result.
Matrix Inverse(Matrix a) {
  const size_t m = a.size();
  Matrix inv(m, std::vector<double>(m, 0.0));
  for (size_t i = 0; i < m; ++i) inv[i][i] = 1.0;
  for (size_t c = 0; c < m; ++c) {
    size_t pivot = c;
    for (size_t r = c + 1; r < m; ++r) {
      if (std::fabs(a[r][c]) > std::fabs(a[pivot][c])) pivot = r;
    }
    if (!(std::fabs(a[pivot][c]) > 1e-300)) return {};
    std::swap(a[c], a[pivot]);
    std::swap(inv[c], inv[pivot]);
    const double scale = 1.0 / a[c][c];
    for (size_t k = 0; k < m; ++k) {
      a[c][k] *= scale;
      inv[c][k] *= scale;
    }
    for (size_t r = 0; r < m; ++r) {
      const double f = a[r][c];
      if (r == c || f == 0.0) continue;
      for (size_t k = 0; k < m; ++k) {
        a[r][k] -= f * a[c][k];
        inv[r][k] -= f * inv[c][k];
      }
    }
  }
  return inv;
}

// Ford's condition: every engine reaches every other along "scored against".
bool MaximumExists(const Group& g) {
  const size_t m = g.engines.size();
  for (size_t start = 0; start < m; ++start) {
    std::vector<bool> seen(m, false);
    std::vector<size_t> stack{start};
    seen[start] = true;
    size_t reached = 1;
    while (!stack.empty()) {
      const size_t i = stack.back();
      stack.pop_back();
      for (size_t j = 0; j < m; ++j) {
        if (!seen[j] && g.points[i][j] > 0.0) {
          seen[j] = true;
          ++reached;
          stack.push_back(j);
        }
      }
    }
    if (reached < m) return false;
  }
  return true;
}

void AddVirtualDraws(Group& g) {
  const size_t m = g.engines.size();
  for (size_t i = 0; i < m; ++i) {
    for (size_t j = 0; j < m; ++j) {
      if (i == j || g.games[i][j] <= 0.0) continue;
      g.games[i][j] += 1.0;
      g.points[i][j] += 0.5;
    }
  }
}

// Newton's method with backtracking on the concave log-likelihood.
std::vector<double> Fit(const Group& g) {
  const size_t m = g.engines.size();
  std::vector<double> theta(m, 0.0);
  for (int iteration = 0; iteration < 200; ++iteration) {
    std::vector<double> grad(m, 0.0);
    for (size_t i = 0; i < m; ++i) {
      for (size_t j = 0; j < m; ++j) {
        if (i != j) grad[i] += g.points[i][j] - g.games[i][j] * Expected(theta[i], theta[j]);
      }
    }
    const Matrix inv = Inverse(ShiftedLaplacian(g, theta));
    if (inv.empty()) break;
    std::vector<double> step(m, 0.0);
    for (size_t i = 0; i < m; ++i) {
      for (size_t j = 0; j < m; ++j) step[i] += inv[i][j] * grad[j];
    }
    const double before = LogLikelihood(g, theta);
    double t = 1.0, moved = 0.0;
    for (int halving = 0; halving < 60; ++halving, t *= 0.5) {
      std::vector<double> next(m);
      for (size_t i = 0; i < m; ++i) next[i] = theta[i] + t * step[i];
      if (LogLikelihood(g, next) >= before) {
        for (size_t i = 0; i < m; ++i) moved = std::max(moved, std::fabs(next[i] - theta[i]));
        theta = next;
        break;
      }
    }
    if (moved < 1e-13) break;
  }
  double mean = 0.0;
  for (double v : theta) mean += v / m;
  for (double& v : theta) v -= mean;
  return theta;
}

// Splits the engines with games into groups connected by games.
std::vector<Group> Groups(int engineCount, const Matrix& games, const Matrix& points) {
  std::vector<int> groupOf(engineCount, -1);
  std::vector<Group> groups;
  for (int s = 0; s < engineCount; ++s) {
    bool played = false;
    for (int j = 0; j < engineCount; ++j) played = played || games[s][j] > 0.0;
    if (!played || groupOf[s] >= 0) continue;
    Group g;
    std::vector<int> stack{s};
    groupOf[s] = static_cast<int>(groups.size());
    while (!stack.empty()) {
      const int i = stack.back();
      stack.pop_back();
      g.engines.push_back(i);
      for (int j = 0; j < engineCount; ++j) {
        if (groupOf[j] < 0 && games[i][j] > 0.0) {
          groupOf[j] = groupOf[s];
          stack.push_back(j);
        }
      }
    }
    std::sort(g.engines.begin(), g.engines.end());
    const size_t m = g.engines.size();
    g.games.assign(m, std::vector<double>(m, 0.0));
    g.points.assign(m, std::vector<double>(m, 0.0));
    for (size_t a = 0; a < m; ++a) {
      for (size_t b = 0; b < m; ++b) {
        g.games[a][b] = games[g.engines[a]][g.engines[b]];
        g.points[a][b] = points[g.engines[a]][g.engines[b]];
      }
    }
    groups.push_back(std::move(g));
  }
  return groups;
}

}  // namespace

std::vector<Rating> MaximumLikelihoodRatings(int engineCount, const std::vector<GameScore>& games) {
  if (engineCount <= 0 || engineCount > kMaxRatedEngines) return {};
  std::vector<Rating> ratings(engineCount);
  Matrix n(engineCount, std::vector<double>(engineCount, 0.0));
  Matrix w = n;
  std::vector<unsigned> resultKinds(static_cast<size_t>(engineCount), 0);  // bits: loss, draw, win
  auto kind = [](double points) { return points == 0.0 ? 1u : points == 1.0 ? 4u : 2u; };
  for (const GameScore& game : games) {
    const int a = game.first, b = game.second;
    const double p = game.firstPoints;
    if (a < 0 || b < 0 || a >= engineCount || b >= engineCount || a == b) continue;
    if (!(p >= 0.0 && p <= 1.0)) continue;  // also rejects NaN
    n[a][b] += 1.0;
    n[b][a] += 1.0;
    w[a][b] += p;
    w[b][a] += 1.0 - p;
    ratings[a].games += 1;
    ratings[b].games += 1;
    ratings[a].points += p;
    ratings[b].points += 1.0 - p;
    resultKinds[static_cast<size_t>(a)] |= kind(p);
    resultKinds[static_cast<size_t>(b)] |= kind(1.0 - p);
  }
  for (Group& g : Groups(engineCount, n, w)) {
    if (!MaximumExists(g)) AddVirtualDraws(g);
    const std::vector<double> theta = Fit(g);
    const size_t m = g.engines.size();
    const Matrix inv = Inverse(ShiftedLaplacian(g, theta));
    for (size_t i = 0; i < m; ++i) {
      Rating& r = ratings[g.engines[i]];
      r.elo = theta[i] * kEloPerNatural;
      const double var = inv.empty() ? 0.0 : std::max(inv[i][i] - 1.0 / m, 0.0);
      const double half = kZ95 * kEloPerNatural * std::sqrt(var);
      const unsigned kinds = resultKinds[static_cast<size_t>(g.engines[i])];
      r.hasInterval = r.games >= kMinSamplesForInterval && (kinds & (kinds - 1)) != 0 && half > 0.0;
      if (!r.hasInterval) continue;
      r.low = r.elo - half;
      r.high = r.elo + half;
    }
  }
  return ratings;
}
