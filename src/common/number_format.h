#pragma once
// Locale-independent number formatting into caller-provided space.

#include <bit>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <cstring>

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

// Writes `value` in plain decimal. Returns the end of the text. Up to kMaxNumberChars bytes at
// `first` may be written, more than the text takes. Inline: writers call it once per index,
// millions of times per document.
inline char* formatInt(char* first, std::int64_t value) {
  if constexpr (std::endian::native == std::endian::little) {
    if (value >= 0 && value < 100000000) {
      // Eight digits at once in the bytes of one word: split into halves of four digits, those
      // into pairs, those into digits, each step in every lane of the word together. The leading
      // zeros are then shifted out and the word stored in one move.
      const auto number = static_cast<std::uint64_t>(value);
      const std::uint64_t high = (number * 109951163u) >> 40;  // number / 10000
      std::uint64_t lanes = high | ((number - high * 10000) << 32);
      std::uint64_t quotients = ((lanes * 10486) >> 20) & 0x0000007F0000007Fu;  // / 100
      lanes = quotients | ((lanes - quotients * 100) << 16);
      quotients = ((lanes * 103) >> 10) & 0x000F000F000F000Fu;  // / 10
      lanes = quotients | ((lanes - quotients * 10) << 8);
      const int zeros = lanes == 0 ? 7 : std::countr_zero(lanes) / 8;
      const std::uint64_t text = (lanes >> (8 * zeros)) + 0x3030303030303030u;
      std::memcpy(first, &text, sizeof text);
      return first + (8 - zeros);
    }
  }
  return std::to_chars(first, first + kMaxNumberChars, value).ptr;
}

// An integer's text as formatInt wrote it, kept to be written again: index lists often name
// the same number twice in a row. The text is read back whole right after it is written, before
// anything is written over its tail (reading it later would stall on those stores).
class RepeatedInt {
 public:
  // formatInt(first, value), keeping the text.
  char* format(char* first, std::int64_t value) {
    char* const end = formatInt(first, value);
    value_ = value;
    size_ = static_cast<std::size_t>(end - first);
    std::memcpy(&text_, first, sizeof text_);
    return end;
  }

  // Writes `value` at `out` as formatInt does: the kept text again when it is that value's and
  // fits one word. Up to kMaxNumberChars bytes at `out` may be written.
  char* put(char* out, std::int64_t value) const {
    if (value != value_ || size_ > sizeof text_) return formatInt(out, value);
    std::memcpy(out, &text_, sizeof text_);
    return out + size_;
  }

 private:
  std::int64_t value_ = 0;
  std::size_t size_ = sizeof(std::uint64_t) + 1;  // nothing kept yet
  std::uint64_t text_ = 0;
};

}  // namespace mevrix::common
