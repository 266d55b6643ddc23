#include "common/number_format.h"

#include <bit>
#include <charconv>
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
  const auto bits = std::bit_cast<std::uint32_t>(value);
  const std::uint32_t magnitude = bits & 0x7FFFFFFFu;
  // From 1e-4 (the float just above it is 0x38D1B717) to below 999999.5 (0x497423F8) the text has
  // no exponent and six significant digits; everything else, NaN included, goes the long way.
  if (!(magnitude >= 0x38D1B717u && magnitude < 0x497423F8u)) return formatG6(first, value);

  // The value is mantissa * 2^(binaryExponent - 23). Scaled by 10^k so that the integer part has
  // six digits it is mantissa * 5^k / 2^shift, all in integers: the product has at most 48 bits
  // and shift is at least 4, so the quotient and the remainder below are exact, and so is the
  // rounding. The binary exponent gives k or k + 1 (1233 / 4096 is log10(2) to five places).
  static constexpr std::uint64_t kPowersOfFive[] = {1,     5,     25,     125,     625,    3125,
                                                    15625, 78125, 390625, 1953125, 9765625};
  const int binaryExponent = static_cast<int>(magnitude >> 23) - 127;
  const std::uint64_t mantissa = (magnitude & 0x7FFFFFu) | 0x800000u;
  int k = 5 - ((binaryExponent * 1233) >> 12);
  int shift = 23 - binaryExponent - k;
  std::uint64_t product = mantissa * kPowersOfFive[k];
  if ((product >> shift) >= 1000000) {  // one power of ten less
    --k;
    ++shift;
    product = mantissa * kPowersOfFive[k];
  }
  auto digits = static_cast<std::uint32_t>(product >> shift);
  // Round half to even, as printf and to_chars do for a value exactly between two; without a
  // branch, as which way it goes is a matter of chance.
  const std::uint64_t remainder = product & ((std::uint64_t{1} << shift) - 1);
  const std::uint64_t half = std::uint64_t{1} << (shift - 1);
  digits += static_cast<std::uint32_t>(remainder > half) |
            (static_cast<std::uint32_t>(remainder == half) & (digits & 1));
  if (digits == 1000000) {  // rounded up into the next decade: one decimal less
    digits = 100000;
    --k;
  }

  const int integerDigits = 6 - k;  // at most 6; 0 or fewer below 1
  char* p = first;
  *p = '-';
  p += bits >> 31;

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
    int last = 5 - static_cast<int>(static_cast<unsigned>(std::countl_zero(notZero)) / 8);
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
