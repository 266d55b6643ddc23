#include "common/number_format.h"

#include <bit>
#include <charconv>
#include <cmath>
#include <cstdint>

namespace mevrix::common {

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
  constexpr double kPowers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10};
  const int binaryExponent =
      static_cast<int>((std::bit_cast<std::uint64_t>(magnitude) >> 52) & 0x7ff) - 1023;
  int k = 5 - ((binaryExponent * 1233) >> 12);
  double scaled = magnitude * kPowers[k];
  while (scaled >= 1e6) scaled = magnitude * kPowers[--k];
  while (scaled < 1e5) scaled = magnitude * kPowers[++k];
  // Round half to even, as printf and to_chars do for a value exactly between two.
  auto digits = static_cast<std::uint32_t>(scaled);
  const double fraction = scaled - digits;
  if (fraction > 0.5 || (fraction == 0.5 && digits % 2 == 1)) ++digits;
  if (digits == 1000000) {  // rounded up into the next decade: one decimal less
    digits = 100000;
    --k;
  }

  char text[6];
  for (int i = 5; i >= 0; --i, digits /= 10) text[i] = static_cast<char>('0' + digits % 10);
  int last = 5;                     // the last significant digit once trailing zeros are dropped
  const int integerDigits = 6 - k;  // at most 6; 0 or fewer below 1
  while (last >= integerDigits && last > 0 && text[last] == '0') --last;

  char* p = first;
  if (value < 0) *p++ = '-';
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
