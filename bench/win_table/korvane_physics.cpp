#include "bench/win_table/korvane_physics.h"

#include "korvane/korvane.h"

namespace win_table {

PhysicsCalls KorvanePhysics() { return {Simulation, CreateShot, CreateHitShot, GetScore}; }

void SeedKorvane(uint64_t seed) { KorvaneSeed(seed); }

}  // namespace win_table
