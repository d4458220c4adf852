// The placement rules and the take-out search judge stones by their
// distance to the tee, which the search player shares from sim/.
#pragma once

#include "sim/tee_geometry.h"
