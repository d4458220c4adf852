// curling-match's command line over the exact stand-in physics, so that
// the tests can run, interrupt and inspect the runner as a whole process.
#include "match/cli.h"
#include "tests/match/stand_in_physics.h"

int main(int argc, char** argv) { return RunMatch(argc, argv, StandInPhysics()); }
