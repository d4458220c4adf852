// Figures shared by every simulated shot of the searches.
#pragma once

// Execution error handed to every Simulation call of the engine: standard
// deviation of the resting point, m, along x and y.
constexpr float kNoise = 0.145f;

// Stones in one end; a rollout plays until the sixteenth has been thrown.
constexpr int kStonesPerEnd = 16;
