#pragma once
// Locale-independent number formatting into caller-provided space.

#include <cstdint>

namespace mevrix::common {

// Room that every formatter below needs at most.
inline constexpr int kMaxNumberChars = 32;

// Writes `value` as printf's "%g" does: six significant digits, fixed notation unless the
// decimal exponent is below -4 or at least 6, no trailing zeros. Returns the end of the text.
char* formatG6(char* first, double value);

// Writes a float exactly as formatG6 writes it, faster for magnitudes from 1e-4 to 1e6 (the
// range of texture coordinates and most positions). Returns the end of the text.
char* formatFloatG6(char* first, float value);

// Writes `value` in plain decimal. Returns the end of the text.
char* formatInt(char* first, std::int64_t value);

}  // namespace mevrix::common
