// The replay page of one game: one self-contained HTML file (inline SVG,
// CSS and script, nothing fetched) that steps through the game stone by
// stone. The fragment names the position: #e3s7 is end 3 after its 7th
// stone (s0 before the first, s16 after the last). Every stone drawn
// carries data-stone, data-x and data-y (the record's values as written);
// the root element carries data-end and data-shot.
#pragma once

#include <string>

#include "record/record.h"

std::string ReplayPageHtml(const GameRecord& game);

// The page's script and style, kept apart from the C++ that fills in the game.
const std::string& ReplayPageScript();
extern const char* const kReplayPageStyle;
