// The index page of a run of many games: the tables of the summary as
// text, the plots of the run over its games, then one row per game with a
// link to its replay page.
#pragma once

#include <string>
#include <vector>

#include "view/run_plot.h"

struct IndexRow {
  int game = 0;  // from 1, as in the file names
  std::string engineA;
  std::string engineB;
  std::string result;  // e.g. "A 5 - 3 B, A wins"
  std::string link;    // the replay page, relative to the index page
};

struct IndexPage {
  std::string title;
  std::string tablesText;
  std::vector<RunPlot> plots;
  std::vector<IndexRow> rows;
  // While the run goes on the browser reloads the page this often; 0: never.
  int refreshSeconds = 0;
};

std::string IndexPageHtml(const IndexPage& page);
