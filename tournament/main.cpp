// curling-match: plays games between engine processes with the Korvane
// physics library. Everything but this entry point is in tournament_core.
#include "tournament/cli.h"
#include "tournament/korvane_physics.h"

int main(int argc, char** argv) { return RunCurlingMatch(argc, argv, KorvanePhysics()); }
