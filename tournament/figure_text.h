// How the tables' figures read as text, wherever the runner prints them
// (tables, the progress line, the index page that shows the tables).
#pragma once

#include <string>

// Stands where an interval would stand when the games cannot give one
// (EloEstimate::hasInterval, Rating::hasInterval).
constexpr char kTooFewGamesText[] = "(too few games for an interval)";

// v with `decimals` decimals, "+" before positive figures when plusSign.
// A figure that rounds to zero reads "0.0" (never "-0.0", nor "+0.0", which
// would claim a sign the figure does not have).
std::string FixedText(double v, int decimals, bool plusSign = true);
