// The search player in the engine: installs itself as the GO decider,
// binds the search library to the physics that the engine loaded, and
// keeps the game clock when the whole game has one thinking budget.
#pragma once

#include "app/options.h"

// Installs the search player with these options (before RunEngine).
void InstallSearchPlayer(const EngineOptions& options);

// Binds the search library to the loaded Korvane.dll, including its
// seeding export when it has one (RunEngine's onLoaded).
void BindSearchPhysics();
