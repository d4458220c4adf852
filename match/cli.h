// The whole runner behind a thin main: options, the games, the live line
// score, records, pictures and the summary. Taking the physics as an
// argument lets the tests run the real command line over an exact stand-in.
#pragma once

#include "match/physics.h"

// Exit status: 0 after the games were played, 1 when a record, picture or
// page could not be written (or, for replay, a stone differs), 2 for a bad
// command line or an unreadable record.
int RunMatch(int argc, const char* const* argv, const PhysicsCalls& physics);
