// How many terminal columns UTF-8 text takes, and text cut or padded to a
// number of columns, so that console tables line up whatever the script of
// the engines' names. Pure functions.
//
// Each code point counts as a terminal shows it: East Asian wide and
// fullwidth letters and emoji two columns, combining marks and format
// characters (zero width joiner, variation selectors) none, everything else
// one. A byte that does not start a well-formed UTF-8 sequence counts as one
// column, as the replacement character it is shown as.
#pragma once

#include <string>
#include <string_view>

int DisplayWidth(std::string_view text);

// The text itself when it fits in `columns`; otherwise its longest beginning
// that fits in columns - 1, cut before a character that takes a column (so
// the marks that combine with the last character kept stay with it),
// followed by "…". Empty for columns < 1.
std::string FitToWidth(std::string_view text, int columns);

// The text followed by spaces up to `columns`; text as wide or wider unchanged.
std::string PadToWidth(std::string_view text, int columns);
