// The whole of curling-match behind a thin main: the command line, the
// checks before the first game, the run or the merge of result files, the
// final tables. Taking the physics as an argument lets the tests run the
// real command line over an exact stand-in.
#pragma once

#include "record/physics.h"

// Exit status: 0 after the games were played (or merged, or a record
// replayed), 1 when results, a record, a page or a picture could not be
// written (or a replayed stone rests elsewhere than its record says), 2 for
// a bad command line, an engine that cannot be started, a results file of
// another run, or a record that cannot be read.
int RunCurlingMatch(int argc, const char* const* argv, const RunnerPhysics& physics);
