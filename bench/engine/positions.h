// Fixed positions for the engine benchmark: what the sheet typically looks
// like before each of the measured shots.
#pragma once

#include <cstdint>

#include "sim/records.h"

// The record before stone shotIndex of end 3: a take-out at 1 and 6 (an
// opponent's stone closest to the tee), a crowded house from 11 on.
GameState BenchPosition(int32_t shotIndex);
