// A picture of the house after one stone, as a self-contained SVG: the
// rings and lines, every stone in play numbered in its side's colour, the
// stone just thrown ringed, the paths of the stones that moved, a legend
// and a caption in curling terms in a band of its own above the sheet.
#pragma once

#include <string>

#include "record/record.h"

// Stone colours (A red, B yellow), chosen apart from every colour of the
// house so that a picture can be checked pixel by pixel.
constexpr const char* kColourA = "#d01c1c";
constexpr const char* kColourB = "#f2c200";
constexpr const char* kThrownRing = "#111111";

// Pixels per metre, and the part of the sheet shown (m): from behind the
// back line to beyond the far hog line, across the whole width. The band
// from kSvgTopY to kSvgSheetTopY holds the caption; no line enters it. A
// caption that needs more lines than its usual three (long names, a long
// story) wraps, and the band and picture grow upwards to hold it.
constexpr double kSvgScale = 100.0;
constexpr double kSvgTopY = 1.45;       // m
constexpr double kSvgSheetTopY = 2.45;  // m
constexpr double kSvgBottomY = 11.8;    // m
// The ring drawn round the stone just thrown, m.
constexpr double kThrownRingRadius = 0.2;

// Pixel position of a sheet point in a picture whose top is topY (y grows
// down the page), and the picture's size.
double SvgPixelX(double x);
double SvgPixelY(double y, double topY = kSvgTopY);
int SvgWidthPx();
int SvgHeightPx(double topY = kSvgTopY);

// The top of the picture of this stone, m: kSvgTopY, or above it when the
// caption takes more than three lines.
double StoneSvgTopY(const GameRecord& game, const EndRecord& end, const StoneRecord& stone);

// The sheet, rings and lines, in sheet coordinates (metres).
std::string SheetSvg();
// An open <svg> element of the picture whose top is topY, the sheet drawn
// in it; the caller adds what lies on it and closes the element.
std::string SheetPictureStart(double topY = kSvgTopY);

const char* ColourOf(const EndRecord& end, int stone);

std::string StoneSvg(const GameRecord& game, const EndRecord& end, const StoneRecord& stone);

// "game01-end03-stone07.svg": numbers counted from 1.
std::string SvgFileName(int gameIndex, int endIndex, int shotIndex);
