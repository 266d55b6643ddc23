#pragma once
// Number scanning that reads exactly what formatted stream extraction (`std::istream >> float`,
// `>> int`) reads in the classic locale, without the cost of a stream.

#include <bit>
#include <cstdint>
#include <cstring>

namespace mevrix::common {

// Where one extraction left off. `next` is where the stream would stand afterwards: behind the
// number on success, behind whatever the failed extraction consumed otherwise (leading white
// space, and a sign or the start of a number that turned out unreadable).
struct ScanResult {
  const char* next;
  bool ok;
};

// Reads a float as `stream >> value` does: white space skipped, an optional sign ("+" too),
// digits with an optional point and exponent; no "inf", "nan" or hex. On failure `value` is 0,
// except on overflow, where it is the largest finite float of the number's sign.
ScanResult scanFloat(const char* first, const char* last, float& value);

// Reads an int as `stream >> value` does: white space skipped, an optional sign, decimal digits.
// On failure `value` is 0, except on overflow, where it is INT_MAX or INT_MIN.
ScanResult scanInt(const char* first, const char* last, std::int32_t& value);

// The decimal digits that begin the eight bytes at `p` (read in one piece): how many there are,
// and their value in `value`. For scanners that take eight digits at a time.
inline int leadingDigits(const char* p, std::uint32_t& value) {
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  if constexpr (std::endian::native == std::endian::big) word = __builtin_bswap64(word);
  const std::uint64_t digits = word ^ 0x3030303030303030u;
  // A byte's top bit is set when it is no digit: 0x76 carries values from 10 on into it.
  const std::uint64_t nonDigit =
      (((digits & 0x7F7F7F7F7F7F7F7Fu) + 0x7676767676767676u) | digits) & 0x8080808080808080u;
  const int count = nonDigit == 0 ? 8 : std::countr_zero(nonDigit) / 8;
  if (count == 0) {
    value = 0;
    return 0;
  }
  std::uint64_t v = digits << (64 - 8 * count);  // the digits in the top bytes, in order
  v = ((v & 0x0F0F0F0F0F0F0F0Fu) * 2561) >> 8;
  v = ((v & 0x00FF00FF00FF00FFu) * 6553601) >> 16;
  value = static_cast<std::uint32_t>(((v & 0x0000FFFF0000FFFFu) * 42949672960001u) >> 32);
  return count;
}

// Reads one to nine decimal digits at `p` that no further digit follows, the common case of a
// number in an index list, which cannot overflow: stores them in `value`, moves `p` behind them
// and returns true. Returns false (leaving `p` and `value` as they were) for anything else.
inline bool scanShortDigits(const char*& p, const char* last, std::int32_t& value) {
  const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
  if (last - p >= 8) {
    std::uint32_t number = 0;
    const int count = leadingDigits(p, number);
    if (count == 0) return false;
    const char* q = p + count;
    if (count == 8 && q != last && isDigit(*q)) {
      number = number * 10 + static_cast<std::uint32_t>(*q++ - '0');
      if (q != last && isDigit(*q)) return false;
    }
    value = static_cast<std::int32_t>(number);
    p = q;
    return true;
  }
  const char* q = p;
  const char* const stop = last - p > 9 ? p + 9 : last;
  std::int32_t number = 0;
  for (; q != stop && isDigit(*q); ++q) number = number * 10 + (*q - '0');
  if (q == p || (q != last && isDigit(*q))) return false;
  value = number;
  p = q;
  return true;
}

// True for the characters that stream extraction skips as white space in the classic locale.
constexpr bool isStreamSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace mevrix::common
