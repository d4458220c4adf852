// A picture of the house after one stone, as a self-contained SVG: the
// rings and lines, the stones at rest in both sides' colours, the paths of
// the stones that moved during the shot, the shot number and the score.
#pragma once

#include <string>

#include "match/game.h"

// Stone colours (A red, B yellow), chosen apart from every colour of the
// house so that a picture can be checked pixel by pixel.
constexpr const char* kColourA = "#d01c1c";
constexpr const char* kColourB = "#f2c200";

// Pixels per metre, and the part of the sheet shown (m): from behind the
// back line to beyond the far hog line, across the whole width.
constexpr double kSvgScale = 100.0;
constexpr double kSvgTopY = 2.2;      // m; the band above the back line holds the caption
constexpr double kSvgBottomY = 11.8;  // m
constexpr double kSheetWidth = 4.75;  // m

// Pixel position of a sheet point in the picture (y grows down the page).
double SvgPixelX(double x);
double SvgPixelY(double y);
int SvgWidthPx();
int SvgHeightPx();

std::string StoneSvg(const StoneView& view);

// "game01-end03-stone07.svg": numbers counted from 1.
std::string SvgFileName(int gameIndex, int endIndex, int shotIndex);
