// curling-match's command line over the exact stand-in physics, so that
// the tests can run, interrupt and inspect the runner as a whole process.
#include "tests/double/stand_in_physics.h"
#include "tournament/cli.h"

int main(int argc, char** argv) { return RunCurlingMatch(argc, argv, StandInPhysics()); }
