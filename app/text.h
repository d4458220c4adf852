// Byte-level text routines of the protocol: pure functions over
// zero-terminated text, with no allocation.
#pragma once

#include <cstddef>
#include <cstdint>

// Ends text at its first carriage return (13) or line feed (10).
void CutAtLineEnd(char* text);

// Copies token n of text into dest, zero-terminated. Tokens are maximal runs
// of bytes other than the space (32); leading spaces are skipped, a run of
// spaces is one separator and trailing spaces give one more, empty token.
// False, dest untouched, when text has no token n. A token longer than
// destSize - 1 bytes is cut to fit (the protocol's buffers always fit one).
bool GetToken(char* dest, std::size_t destSize, const char* text, int n);

// A real argument by the atof rules (leading white space skipped, longest
// numeric prefix converted, 0 when there is none), rounded to float.
float ParseReal(const char* token);

// An integer argument by the atoi rules. Values beyond the 32-bit range
// saturate to its limits, where atoi itself would be undefined.
int32_t ParseInt(const char* token);

// True when word equals keyword as a whole, without regard to ASCII case.
bool MatchesKeyword(const char* word, const char* keyword);
