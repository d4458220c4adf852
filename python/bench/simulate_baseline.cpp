// The baseline of the package's batch benchmark: the same batch played
// through the library's C interface in a plain C++ loop, one thread, as a
// C++ caller would, so that the two can be compared in one run.
//
//   simulate-baseline BATCH_FILE REPEATS
//
// BATCH_FILE: a count (int64), then that many 184-byte records, then as
// many shots of three floats (vx, vy, curl). Prints the best time per item
// in nanoseconds.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "sim/sheet.h"
#include "korvane/korvane.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: simulate-baseline BATCH_FILE REPEATS\n");
    return 2;
  }
  std::FILE* file = std::fopen(argv[1], "rb");
  int64_t n = 0;
  if (!file || std::fread(&n, sizeof n, 1, file) != 1 || n <= 0) return 2;
  std::vector<GameState> in(n);
  std::vector<float> shots(3 * n);
  if (std::fread(in.data(), sizeof(GameState), n, file) != static_cast<size_t>(n) ||
      std::fread(shots.data(), sizeof(float), 3 * n, file) != static_cast<size_t>(3 * n))
    return 2;
  std::fclose(file);
  const int repeats = std::atoi(argv[2]);
  double best = 1e300;
  for (int r = 0; r < repeats; ++r) {
    const auto start = std::chrono::steady_clock::now();
    // A fresh output each time, as the package makes one for every call.
    std::vector<GameState> out(n);
    for (int64_t i = 0; i < n; ++i) {
      out[i] = in[i];
      ShotVec vec{};
      vec.vx = shots[3 * i];
      vec.vy = shots[3 * i + 1];
      vec.curl = shots[3 * i + 2] != 0.0f ? 1 : 0;
      Simulation(&out[i], vec, float(game::kExecutionNoise), nullptr, -1);
    }
    const double ns = std::chrono::duration<double, std::nano>(
                          std::chrono::steady_clock::now() - start).count() / n;
    if (ns < best) best = ns;
  }
  std::printf("%.1f\n", best);
  return 0;
}
