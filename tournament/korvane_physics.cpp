#include "tournament/korvane_physics.h"

#include <cstdio>
#include <string>

#include "korvane/korvane.h"
#include "korvane/tools/fixed_shots.h"

namespace {

// Plays the fixed shots once, on first use (a few milliseconds, noise 0, so
// the random engine is not touched).
const char* KorvaneVersion() {
  static const std::string text = [] {
    int shots = 0;
    char signature[80];
    std::snprintf(signature, sizeof signature, "Korvane " KORVANE_VERSION " signature %016llx",
                  static_cast<unsigned long long>(FixedShotSignature(&shots)));
    return std::string(signature);
  }();
  return text.c_str();
}

}  // namespace

RunnerPhysics KorvanePhysics() {
  return RunnerPhysics{&Simulation, &GetScore, &KorvaneSeed, &KorvaneVersion};
}
