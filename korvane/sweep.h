// Whether two stones, or a stone and a line, can touch at all before they
// rest: each remaining path lies within Motion::sweep of the straight
// segment from its start to its resting point, so a segment-distance test
// rules out most pairs without evaluating any motion.
#pragma once

#include "korvane/motion.h"

namespace korvane {

// Distance between segments [p0, p1] and [q0, q1], m.
double SegmentDistance(double p0x, double p0y, double p1x, double p1y, double q0x, double q0y,
                       double q1x, double q1y);

// False when the swept regions of a and b stay more than `reach` apart.
bool SweepsMayMeet(const Motion& a, const Motion& b, double reach);

// Lowest and highest x and y the swept region of m reaches.
void SweepBounds(const Motion& m, double* minX, double* maxX, double* minY, double* maxY);

}  // namespace korvane
