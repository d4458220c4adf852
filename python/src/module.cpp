#include <string>

#include "bindings.h"

namespace {

PhysicsCalls physics;

}  // namespace

const PhysicsCalls& ModulePhysics() { return physics; }

PYBIND11_MODULE(_core, module) {
  module.doc() = "Korvane physics and the curling game, in batches (see python/README.md)";
  std::string error;
  if (!BindPhysics(&physics, &error)) throw pybind11::import_error(error);
  AddPhysics(module);
  AddGames(module);
}
