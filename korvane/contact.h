// Contacts between stones: every contact that closes at one instant is
// resolved together, and contacts at vanishing closing speed stick.
#pragma once

#include "korvane/field.h"

namespace korvane {

// Stones whose centres are closer than this beyond touching (2R), m, count
// as touching for the safety limit and for grouping.
constexpr double kTouchGap = 1e-3;

// Resolves the contact of stones i and j at time t together with every
// other contact that closes within a tiny time of it among the stones they
// touch (the group). Returns the group as a bit mask of stone indices.
unsigned ResolveContacts(Field* f, int i, int j, double t);

}  // namespace korvane
