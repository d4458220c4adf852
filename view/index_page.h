// The index page of a run of many games: the tables of the summary as
// text, then one row per game with a link to its replay page.
#pragma once

#include <string>
#include <vector>

struct IndexRow {
  int game = 0;  // from 1, as in the file names
  std::string engineA;
  std::string engineB;
  std::string result;  // e.g. "A 5 - 3 B, A wins"
  std::string link;    // the replay page, relative to the index page
};

std::string IndexPageHtml(const std::string& title, const std::string& tablesText,
                          const std::vector<IndexRow>& rows);
