// A small deterministic stand-in for the physics library, fast enough that
// a GO with thousands of simulated shots takes milliseconds: a draw rests
// exactly on its target, a hit (negative vy, as the stand-in's CreateHitShot
// makes it) removes the stone nearest its target, and the sixteenth stone
// scores the end by the stone nearest the tee.
#pragma once

// Points the engine's simulator binding at the stand-in.
void BindFakeSimulator();
