#include "physics_binding.h"

#include <mutex>

#include "search/physics.h"
#include "sim/simulator.h"

namespace {

struct Binding {
  bool ok = false;
  std::string error;
  PhysicsCalls physics;
};

Binding Load() {
  Binding b;
  if (!LoadSimulator()) {
    b.error = std::string("cannot load ") + kSimulatorLibraryName +
              " (looked for through LD_LIBRARY_PATH, then next to build/bin)";
    return b;
  }
  b.physics = PhysicsCalls{Simulation, CreateShot, CreateHitShot, GetScore,
                           reinterpret_cast<SeedFn>(FindSimulatorExport("KorvaneSeed"))};
  if (!Simulation || !CreateShot || !CreateHitShot || !GetScore || !b.physics.seed) {
    b.error = std::string(kSimulatorLibraryName) + " lacks one of its five exports";
    return b;
  }
  search::BindPhysics(b.physics);
  b.ok = true;
  return b;
}

}  // namespace

bool BindPhysics(PhysicsCalls* out, std::string* error) {
  static const Binding binding = Load();
  if (!binding.ok) {
    *error = binding.error;
    return false;
  }
  *out = binding.physics;
  return true;
}
