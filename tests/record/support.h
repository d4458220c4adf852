// Games for the view tests: played between fake engines over the exact
// stand-in physics, with noise, so that replays must use the seeds.
#pragma once

#include <string>

#include "match/game.h"
#include "tests/match/support.h"

// Two ends; A's fifth stone is lost to a garbage reply.
inline GameRecord NoisyStandInGame() {
  GameSetup setup =
      StandInSetup(FakeEngine("--plan 2.3,5.1 --fault garbage@3"), FakeEngine("--plan 2.5,5.3"), 2);
  setup.settings.noise = 0.3f;
  setup.settings.extraEnds = false;
  setup.seed = 99;
  return PlayGame(setup, {});
}
