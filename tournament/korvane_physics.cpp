#include "korvane/korvane.h"
#include "match/physics.h"

PhysicsCalls KorvanePhysics() { return PhysicsCalls{&Simulation, &GetScore, &KorvaneSeed}; }
