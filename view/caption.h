// What a curler would say about a stone: who threw it with which turn, the
// kind of shot where the record makes it clear, who lies how many, and how
// long the engine thought. Shared by the pictures and the replay page.
#pragma once

#include <string>

#include "record/record.h"

// The engine's name, else its program's file name, after the seat letter:
// "A (curling-engine)".
std::string EngineLabel(const GameRecord& game, Seat seat);

// "A lying two", "B lying one", "Nothing counting" (scoreForA > 0: A).
std::string LyingText(int scoreForA);

// "in-turn" for curl 0 (clockwise seen from above, the right-hander's
// in-turn), "out-turn" for curl 1.
const char* TurnName(unsigned char curl);

// The kind of shot from where the stones were before and after it, e.g.
// "Takeout of stone 3 (B)", "Guard", "Draw into the house", "Lost stone:
// no reply in time", "Through the house".
std::string ShotKind(const EndRecord& end, const StoneRecord& stone);

// "End 3, stone 7 of 16: A (name), out-turn, 1.2 s".
std::string CaptionHeadline(const GameRecord& game, const EndRecord& end, const StoneRecord& stone);

// "Takeout of stone 3 (B). A lying two."
std::string CaptionStory(const EndRecord& end, const StoneRecord& stone);
