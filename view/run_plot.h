// A figure of a run drawn over its games as inline SVG: one dot per point,
// a bar for its interval where it has one, and level lines across (the
// SPRT's bounds, or Elo 0). Every dot carries its figures as data
// attributes, so that a test or a script reads the plot without pixels.
#pragma once

#include <string>
#include <vector>

struct PlotPoint {
  int played = 0;  // games counted so far, this one included: the horizontal position
  int game = 0;    // the game that ended, from 1 as in the file names
  double value = 0.0;
  bool hasInterval = false;
  double low = 0.0, high = 0.0;
};

struct RunPlot {
  std::string name;            // "llr" or "elo": the element's id and the value's data attribute
  std::string title;           // a caption above the plot
  int games = 0;               // width of the horizontal axis: the run's planned games
  std::vector<double> levels;  // values marked by a line across the plot
  std::vector<PlotPoint> points;
};

// <figure id="NAME-plot"> with the caption and an <svg>; every dot a
// <circle data-game data-NAME> (with data-lo and data-hi where it has an
// interval), values with 6 decimals. An empty plot says that nothing is
// known yet instead of drawing axes.
std::string RunPlotHtml(const RunPlot& plot);
