// The game record as JSON.
#pragma once

#include <string>

#include "match/record.h"

// The whole game: settings, engines, every finished end with its stones.
// An end still in play is left out, so the text is a consistent record of
// the game up to its last finished end. "complete" tells whether the game
// is over.
std::string GameToJson(const GameRecord& game);

// JSON string literal of text (quotes included); bytes that are not
// printable ASCII are escaped as \u00XX.
std::string JsonString(const std::string& text);
