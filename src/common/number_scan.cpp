#include "common/number_scan.h"

#include <charconv>
#include <limits>

namespace mevrix::common {
namespace {

// Integers up to 2^24 and powers of ten up to 10^10 (5^10 < 2^24) are exact floats.
constexpr int kMaxShortDigits = 19;
constexpr std::uint64_t kMaxExactFloatInteger = std::uint64_t{1} << 24;
constexpr int kMaxExactPowerOfTen = 10;
constexpr float kPowersOfTen[kMaxExactPowerOfTen + 1] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f,
                                                         1e6f, 1e7f, 1e8f, 1e9f, 1e10f};

const char* skipSpace(const char* p, const char* last) {
  while (p != last && isStreamSpace(*p)) ++p;
  return p;
}

// Tells an out-of-range float apart: true when the number's magnitude is above 1 (an overflow),
// false when it is below (an underflow, which extraction accepts as the rounded tiny value).
// Only called for numbers whose decimal exponent lies far from 0, so the estimate is unambiguous.
bool magnitudeAboveOne(const char* mantissa, const char* last) {
  std::int64_t exponent = 0;  // decimal exponent of the first significant digit, plus one
  bool seenPoint = false;
  bool seenSignificant = false;
  const char* p = mantissa;
  for (; p != last && (isDecimalDigit(*p) || *p == '.'); ++p) {
    if (*p == '.') {
      seenPoint = true;
    } else if (!seenSignificant && *p == '0') {
      if (seenPoint) --exponent;
    } else {
      seenSignificant = true;
      if (!seenPoint) ++exponent;
    }
  }
  if (p != last && (*p == 'e' || *p == 'E')) {
    ++p;
    bool negative = false;
    if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
    std::int64_t written = 0;
    for (; p != last && isDecimalDigit(*p); ++p) {
      if (written < 1'000'000'000) written = written * 10 + (*p - '0');
    }
    exponent += negative ? -written : written;
  }
  return exponent > 0;
}

}  // namespace

ScanResult scanFloatInFull(const char* first, const char* last, float& value) {
  value = 0.0f;
  const char* p = skipSpace(first, last);
  bool negative = false;
  if (p != last && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* mantissa = p;
  // The digits as an integer while they are few, for the exact short cut below.
  std::uint64_t digits = 0;
  int digitCount = 0;
  for (; p != last && isDecimalDigit(*p); ++p) {
    if (++digitCount <= kMaxShortDigits) digits = digits * 10 + static_cast<unsigned>(*p - '0');
  }
  int fractionDigits = 0;
  if (p != last && *p == '.') {
    for (++p; p != last && isDecimalDigit(*p); ++p) {
      ++fractionDigits;
      if (++digitCount <= kMaxShortDigits) digits = digits * 10 + static_cast<unsigned>(*p - '0');
    }
  }
  const bool foundDigit = digitCount > 0;
  // An exponent is taken only behind at least one mantissa digit; its sign, if any, is consumed
  // with it even when no digit follows (which then makes the whole number unreadable).
  bool foundExponent = false;
  if (foundDigit && p != last && (*p == 'e' || *p == 'E')) {
    foundExponent = true;
    ++p;
    if (p != last && (*p == '+' || *p == '-')) ++p;
    while (p != last && isDecimalDigit(*p)) ++p;
  }
  const char* end = p;
  if (!foundDigit) return {end, false};

  // Short cut: when the digits and the power of ten are both exact floats, one IEEE division
  // gives the correctly rounded value, the same that full conversion gives.
  if (!foundExponent && digitCount <= kMaxShortDigits && digits <= kMaxExactFloatInteger &&
      fractionDigits <= kMaxExactPowerOfTen) {
    const float quotient = static_cast<float>(digits) / kPowersOfTen[fractionDigits];
    value = negative ? -quotient : quotient;
    return {end, true};
  }

  // from_chars takes a leading minus but not a plus; the sign is applied here instead.
  float parsed = 0.0f;
  const auto [stop, error] = std::from_chars(mantissa, end, parsed, std::chars_format::general);
  // Text taken as part of the number but not readable as one ("1e", "1e+") fails as a whole,
  // even when the readable part is out of range.
  if (stop != end) return {end, false};
  if (error == std::errc::result_out_of_range) {
    if (magnitudeAboveOne(mantissa, end)) {
      value = negative ? -std::numeric_limits<float>::max() : std::numeric_limits<float>::max();
      return {end, false};
    }
    value = negative ? -0.0f : 0.0f;
    return {end, true};
  }
  if (error != std::errc()) return {end, false};
  value = negative ? -parsed : parsed;
  return {end, true};
}

ScanResult scanInt(const char* first, const char* last, std::int32_t& value) {
  const char* p = first;
  if (scanShortDigits(p, last, value)) return {p, true};

  value = 0;
  p = skipSpace(first, last);
  bool negative = false;
  if (p != last && (*p == '+' || *p == '-')) {
    negative = *p == '-';
    ++p;
  }
  const char* digits = p;
  // Accumulate as a negative number so that INT_MIN itself fits.
  constexpr std::int64_t kLimit = std::int64_t{std::numeric_limits<std::int32_t>::max()} + 1;
  std::int64_t magnitude = 0;
  bool overflow = false;
  for (; p != last && isDecimalDigit(*p); ++p) {
    if (!overflow) {
      magnitude = magnitude * 10 + (*p - '0');
      if (magnitude > kLimit) overflow = true;
    }
  }
  if (p == digits) return {p, false};
  if (overflow || (!negative && magnitude == kLimit)) {
    value = negative ? std::numeric_limits<std::int32_t>::min()
                     : std::numeric_limits<std::int32_t>::max();
    return {p, false};
  }
  value = static_cast<std::int32_t>(negative ? -magnitude : magnitude);
  return {p, true};
}

}  // namespace mevrix::common
