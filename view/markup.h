// Text placed in HTML or SVG markup, element content and quoted attribute
// values alike: the four characters that markup gives meaning are escaped.
#pragma once

#include <string>

std::string Escaped(const std::string& text);
