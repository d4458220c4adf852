// Text laid out without a renderer: the pictures are files that any viewer
// draws with its own fonts, so a line is measured by an estimate that errs
// wide, and wrapped before it could be clipped.
#pragma once

#include <string>
#include <vector>

// The width of `text` (UTF-8) in em of a sans-serif face, estimated on the
// wide side of DejaVu Sans, the widest of the common ones; any character
// beyond ASCII counts a whole em.
double TextWidthEm(const std::string& text);

// `text` broken at spaces into lines of at most widthEm each; a word wider
// than a line is cut where it must be. Never empty; "" gives one empty line.
std::vector<std::string> WrapText(const std::string& text, double widthEm);
