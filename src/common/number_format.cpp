#include "common/number_format.h"

#include <charconv>
#include <cmath>
#include <cstdint>

namespace mevrix::common {
namespace {

// Powers of ten from 1e-4 to 1e6; no float lies between one of them and its double.
constexpr double kPowersOfTen[] = {1e-4, 1e-3, 1e-2, 1e-1, 1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6};
constexpr std::uint64_t kScales[] = {1,      10,      100,      1000,      10000,
                                     100000, 1000000, 10000000, 100000000, 1000000000};

}  // namespace

char* formatG6(char* first, double value) {
  return std::to_chars(first, first + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

char* formatFloatG6(char* first, float value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  if (!(magnitude >= 1e-4 && magnitude < 1e6)) return formatG6(first, value);

  // magnitude = mantissa / 2^shift exactly, with a 24-bit mantissa and a shift of 4 to 37.
  int binaryExponent = 0;
  const double fraction = std::frexp(magnitude, &binaryExponent);
  const auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 24));
  const int shift = 24 - binaryExponent;

  // The decimal exponent: 10^exponent <= magnitude < 10^(exponent + 1), from -4 to 5.
  int exponent = -4;
  while (magnitude >= kPowersOfTen[exponent + 5]) ++exponent;

  // Six significant digits, rounded half to even from the exact value: mantissa * 10^(5 -
  // exponent) stays below 2^54.
  const std::uint64_t scaled = mantissa * kScales[5 - exponent];
  std::uint64_t digits = scaled >> shift;
  const std::uint64_t rest = scaled & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  if (rest > half || (rest == half && (digits & 1) != 0)) ++digits;
  if (digits == 1000000) {
    digits = 100000;
    ++exponent;
  }
  // Exponent notation from 1e6 on is left to the general path.
  if (exponent > 5 || digits < 100000 || digits > 999999) return formatG6(first, value);

  char text[6];
  for (int i = 5; i >= 0; --i) {
    text[i] = static_cast<char>('0' + digits % 10);
    digits /= 10;
  }
  int kept = 6;  // digits up to the last non-zero one
  while (text[kept - 1] == '0') --kept;

  char* out = first;
  if (value < 0) *out++ = '-';
  if (exponent >= 0) {
    const int integerDigits = exponent + 1;
    for (int i = 0; i < integerDigits; ++i) *out++ = text[i];
    if (kept > integerDigits) {
      *out++ = '.';
      for (int i = integerDigits; i < kept; ++i) *out++ = text[i];
    }
  } else {
    *out++ = '0';
    *out++ = '.';
    for (int i = exponent + 1; i < 0; ++i) *out++ = '0';
    for (int i = 0; i < kept; ++i) *out++ = text[i];
  }
  return out;
}

char* formatInt(char* first, std::int64_t value) {
  return std::to_chars(first, first + kMaxNumberChars, value).ptr;
}

}  // namespace mevrix::common
