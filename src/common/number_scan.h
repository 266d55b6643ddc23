#pragma once
// Number scanning that reads exactly what formatted stream extraction (`std::istream >> float`,
// `>> int`) reads in the classic locale, without the cost of a stream.

#include <cstdint>

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

// True for the characters that stream extraction skips as white space in the classic locale.
constexpr bool isStreamSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

}  // namespace mevrix::common
