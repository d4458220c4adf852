#include "sim/simulator.h"

#include "platform/library.h"

SimulationFn Simulation = nullptr;
CreateShotFn CreateShot = nullptr;
CreateHitShotFn CreateHitShot = nullptr;
GetScoreFn GetScore = nullptr;

namespace {

LibraryHandle loaded = nullptr;

template <typename Fn>
Fn Bind(LibraryHandle library, const char* name) {
  return reinterpret_cast<Fn>(FindSymbol(library, name));
}

}  // namespace

bool LoadSimulator() {
  LibraryHandle library = OpenLibrary(kSimulatorLibraryName);
  if (library == nullptr) return false;
  loaded = library;
  Simulation = Bind<SimulationFn>(library, "Simulation");
  CreateShot = Bind<CreateShotFn>(library, "CreateShot");
  CreateHitShot = Bind<CreateHitShotFn>(library, "CreateHitShot");
  GetScore = Bind<GetScoreFn>(library, "GetScore");
  return true;
}

void* FindSimulatorExport(const char* name) {
  return loaded != nullptr ? FindSymbol(loaded, name) : nullptr;
}
