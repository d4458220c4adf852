// The game record as JSON, version 2 (schema/record.schema.json describes
// every field), written and read with nlohmann-json.
#pragma once

#include <string>

#include "record/record.h"

constexpr const char* kRecordFormat = "curling-match game record 2";

// The whole game: versions, date, options, engines, every finished end with
// its stones. An end still in play is left out, so the text is a consistent
// record of the game up to its last finished end; "complete" tells whether
// the game is over. One stone per line.
std::string GameToJson(const GameRecord& game);

// Reads a record that GameToJson wrote (format 2). False with *error saying
// what and where when the text is not such a record; *game is then
// unspecified. Never throws.
bool GameFromJson(const std::string& text, GameRecord* game, std::string* error);

// The shortest decimal text that reads back as exactly v (as a float), and
// the double of that text, so that JSON numbers, page attributes and the
// record agree to the character.
std::string FloatText(float v);
double FloatNumber(float v);

// "A", "B" and "draw" as the record (and the results file) writes a result.
const char* ResultName(GameResult result);
// The result that ResultName gives as name; false for any other text.
bool ResultFromName(const std::string& name, GameResult* result);
