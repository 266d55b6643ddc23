#pragma once
// Locale-independent number formatting into caller-provided space.

#include <charconv>
#include <cstdint>

namespace mevrix::common {

// Room that every formatter below needs at most.
inline constexpr int kMaxNumberChars = 32;

// Writes `value` as printf's "%g" does: six significant digits, fixed notation unless the
// decimal exponent is below -4 or at least 6, no trailing zeros. Returns the end of the text.
char* formatG6(char* first, double value);

// Writes the same text as formatG6(value), several times faster for the floats whose text has
// no exponent and at least 1e-4 in magnitude (such as the components of unit normals). Up to
// kMaxNumberChars bytes at `first` may be written, more than the text takes.
char* formatFloatG6(char* first, float value);

// Writes `value` in plain decimal. Returns the end of the text. Inline: writers call it once
// per index, millions of times per document.
inline char* formatInt(char* first, std::int64_t value) {
  return std::to_chars(first, first + kMaxNumberChars, value).ptr;
}

}  // namespace mevrix::common
