#pragma once

#include <cstdint>

namespace tools {

// Decimal, or hexadecimal after a leading "x" or "X" ("1448", "x5A8", "x5a8"). Leading blanks
// and control characters are skipped; reading stops at the first character that is not a digit,
// so "0x5A8" is 0. Never fails: no digits give 0, and overflow wraps.
std::uint64_t ParseNumber64(const char* text);

}  // namespace tools
