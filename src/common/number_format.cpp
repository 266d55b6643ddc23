#include "common/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>

namespace mevrix::common {
namespace {

// "00" to "99", the text of every number below 100.
constexpr char kDigitPairs[201] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

}  // namespace

char* formatG6(char* first, double value) {
  return std::to_chars(first, first + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

char* formatFloatG6(char* first, float value) {
  const double magnitude = std::fabs(static_cast<double>(value));
  // From 1e-4 (the constant lies just above the power of ten) to below 999999.5 the text has
  // no exponent and six significant digits; everything else, NaN included, goes the long way.
  if (!(magnitude >= 1e-4 && magnitude < 999999.5)) return formatG6(first, value);

  // Scale by 10^k so that the integer part has six digits. A float has 24 significant bits and
  // 5^10 has 24, so every product is exact, and so is the rounding below. The binary exponent
  // gives k or k + 1 (1233 / 4096 is log10(2) to five places).
  static constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  const int binaryExponent =
      static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
  int k = 5 - ((binaryExponent * 1233) >> 12);
  double scaled = magnitude * kPowers[k];
  while (scaled >= 1e6) scaled = magnitude * kPowers[--k];
  while (scaled < 1e5) scaled = magnitude * kPowers[++k];
  // Round half to even, as printf and to_chars do for a value exactly between two; without a
  // branch, as which way it goes is a matter of chance.
  auto digits = static_cast<std::uint32_t>(scaled);
  const double fraction = scaled - digits;
  digits += static_cast<std::uint32_t>(fraction > 0.5) |
            (static_cast<std::uint32_t>(fraction == 0.5) & (digits & 1));
  if (digits == 1000000) {  // rounded up into the next decade: one decimal less
    digits = 100000;
    --k;
  }

  const int integerDigits = 6 - k;  // at most 6; 0 or fewer below 1
  char* p = first;
  *p = '-';
  p += value < 0 ? 1 : 0;

  if constexpr (std::endian::native == std::endian::little) {
    // The six digits as the bytes of one word, two at a time from the table, then written in a
    // few fixed-size pieces: no loop, and no branch on the number of digits.
    std::uint16_t pairs[3];
    const std::uint32_t low = digits % 10000;
    std::memcpy(&pairs[0], kDigitPairs + 2 * (digits / 10000), 2);
    std::memcpy(&pairs[1], kDigitPairs + 2 * (low / 100), 2);
    std::memcpy(&pairs[2], kDigitPairs + 2 * (low % 100), 2);
    const std::uint64_t text = std::uint64_t{pairs[0]} | std::uint64_t{pairs[1]} << 16 |
                               std::uint64_t{pairs[2]} << 32;
    // The last digit to write: trailing zeros behind the point are dropped. The first digit is
    // never 0, so some byte differs from '0'.
    const std::uint64_t notZero = (text ^ 0x303030303030u) << 16;
    int last = 5 - std::countl_zero(notZero) / 8;
    if (last < integerDigits - 1) last = integerDigits - 1;
    if (integerDigits <= 0) {
      // "0.", the zeros behind the point, then the digits.
      constexpr std::uint64_t kZeroPoint = 0x303030303030'2E30u;  // "0.000000"
      std::memcpy(p, &kZeroPoint, 8);
      p += 2 - integerDigits;
      std::memcpy(p, &text, 8);
      return p + last + 1;
    }
    std::memcpy(p, &text, 8);
    if (last < integerDigits) return p + integerDigits;
    p[integerDigits] = '.';
    const std::uint64_t fractionText = text >> (8 * integerDigits);
    std::memcpy(p + integerDigits + 1, &fractionText, 8);
    return p + last + 2;
  }

  char text[6];
  const std::uint32_t low = digits % 10000;
  std::memcpy(text, kDigitPairs + 2 * (digits / 10000), 2);
  std::memcpy(text + 2, kDigitPairs + 2 * (low / 100), 2);
  std::memcpy(text + 4, kDigitPairs + 2 * (low % 100), 2);
  int last = 5;  // the last significant digit once trailing zeros are dropped
  while (last >= integerDigits && last > 0 && text[last] == '0') --last;
  if (integerDigits <= 0) {
    *p++ = '0';
    *p++ = '.';
    for (int i = integerDigits; i < 0; ++i) *p++ = '0';
    for (int i = 0; i <= last; ++i) *p++ = text[i];
    return p;
  }
  for (int i = 0; i < integerDigits; ++i) *p++ = text[i];
  if (last >= integerDigits) {
    *p++ = '.';
    for (int i = integerDigits; i <= last; ++i) *p++ = text[i];
  }
  return p;
}

}  // namespace mevrix::common
