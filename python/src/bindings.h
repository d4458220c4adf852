// The pieces of the extension module curling._core, each adding its names.
#pragma once

#include <pybind11/pybind11.h>

#include "physics_binding.h"

// The binding every call uses; loaded when the module is imported.
const PhysicsCalls& ModulePhysics();

void AddPhysics(pybind11::module_& module);
void AddGames(pybind11::module_& module);
