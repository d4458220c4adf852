#include "physics_binding.h"

#include <mutex>

#include "search/physics.h"
#include "sim/simulator.h"

namespace {

struct Binding {
  bool ok = false;
  std::string error;
  BoundPhysics physics;
};

Binding Load() {
  Binding b;
  if (!LoadSimulator()) {
    b.error = std::string("cannot load ") + kSimulatorLibraryName +
              " (looked for through LD_LIBRARY_PATH, then next to build/bin)";
    return b;
  }
  b.physics.calls = PhysicsCalls{Simulation, CreateShot, CreateHitShot, GetScore};
  b.physics.seed = reinterpret_cast<SeedFn>(FindSimulatorExport("KorvaneSeed"));
  if (!Simulation || !CreateShot || !CreateHitShot || !GetScore || !b.physics.seed) {
    b.error = std::string(kSimulatorLibraryName) + " lacks one of its five exports";
    return b;
  }
  PhysicsCalls searchCalls = b.physics.calls;
  searchCalls.seed = b.physics.seed;
  search::BindPhysics(searchCalls);
  b.ok = true;
  return b;
}

}  // namespace

bool BindPhysics(BoundPhysics* out, std::string* error) {
  static const Binding binding = Load();
  if (!binding.ok) {
    *error = binding.error;
    return false;
  }
  *out = binding.physics;
  return true;
}
