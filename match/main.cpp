// curling-match: plays games between two engine processes with the Korvane
// physics library. Everything but this entry point is in match_core.
#include "match/cli.h"

int main(int argc, char** argv) { return RunMatch(argc, argv, KorvanePhysics()); }
