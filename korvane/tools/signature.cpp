// Prints the signature of the fixed noise-0 shots, played through the
// shared library itself, and with --stones every final stone as well, so
// that two builds (say 64-bit Linux and 32-bit Windows) can be compared to
// the bit or, stone by stone, to a tolerance.
#include <cstdio>
#include <cstring>

#include "korvane/tools/fixed_shots.h"

int main(int argc, char** argv) {
  const bool stones = argc > 1 && std::strcmp(argv[1], "--stones") == 0;
  if (argc > 1 && !stones) {
    std::fprintf(stderr, "usage: korvane-signature [--stones]\n");
    return 2;
  }
  int shots = 0;
  const unsigned long long h = FixedShotSignature(&shots);
  std::printf("signature %016llx over %d noise-0 shots\n", h, shots);
  if (stones) {
    PlayFixedShots(
        [](const GameState& after, void*) {
          for (int i = 0; i < game::kStonesPerEnd; ++i)
            std::printf("%.9g %.9g%c", after.stones[i][0], after.stones[i][1],
                        i + 1 < game::kStonesPerEnd ? ' ' : '\n');
        },
        nullptr);
  }
  return 0;
}
