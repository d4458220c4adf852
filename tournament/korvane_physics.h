// The physics calls of the Korvane library itself, linked in: the runner's
// games and replays play through them.
#pragma once

#include "record/physics.h"

// The library's Simulation, GetScore and KorvaneSeed, and its version with
// the signature of its fixed noise-0 shots.
RunnerPhysics KorvanePhysics();
