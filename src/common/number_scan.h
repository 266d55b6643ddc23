#pragma once
// Number scanning that reads exactly what formatted stream extraction (`std::istream >> float`,
// `>> int`) reads in the classic locale, without the cost of a stream.

#include <bit>
#include <cstddef>
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

// True for the characters that stream extraction skips as white space in the classic locale.
constexpr bool isStreamSpace(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

constexpr bool isDecimalDigit(char c) {
  return c >= '0' && c <= '9';
}

// scanFloat for any text.
ScanResult scanFloatInFull(const char* first, const char* last, float& value);

// The digits of the eight bytes at `p` when they are seven digits with one point among them
// behind the first ("0.479432", "12.34567", "1234567."), as a number with the point left out, and
// the count of digits behind the point; false for any other eight bytes. The most common text of
// a mesh file's numbers is read this way as one word.
inline bool scanSevenDigitsAroundPoint(const char* p, std::uint32_t& digits, int& fraction) {
  if constexpr (std::endian::native != std::endian::little) return false;
  constexpr std::uint64_t kOnes = 0x0101010101010101;
  std::uint64_t word;
  std::memcpy(&word, p, sizeof word);
  // The lowest byte found this way is the first point; bytes above it may be false alarms.
  const std::uint64_t notPoint = word ^ (kOnes * '.');
  const std::uint64_t points = (notPoint - kOnes) & ~notPoint & (kOnes * 0x80);
  const int point = std::countr_zero(points) / 8;
  if (point == 0 || point == 8) return false;
  // The point taken out and a leading "0" put in: eight bytes that must all be digits.
  const std::uint64_t before = (std::uint64_t{1} << (8 * point)) - 1;
  const std::uint64_t text = ((word & before) | ((word >> 8) & ~before)) << 8 | '0';
  constexpr std::uint64_t kHigh = kOnes * 0xF0;
  if (((text & kHigh) | (((text + kOnes * 6) & kHigh) >> 4)) != kOnes * 0x33) return false;
  // Pairs, then fours, then all eight digits, each step one multiplication.
  std::uint64_t value = text - kOnes * '0';
  value = value * 10 + (value >> 8);
  value = ((value & 0x000000FF000000FF) * (100 + (std::uint64_t{1000000} << 32)) +
           ((value >> 16) & 0x000000FF000000FF) * (1 + (std::uint64_t{10000} << 32))) >>
          32;
  digits = static_cast<std::uint32_t>(value);
  fraction = 7 - point;
  return true;
}

// Reads a float as `stream >> value` does: white space skipped, an optional sign ("+" too),
// digits with an optional point and exponent; no "inf", "nan" or hex. On failure `value` is 0,
// except on overflow, where it is the largest finite float of the number's sign.
// The common text of a mesh file, at most eight digits around a point with no exponent, is read
// here in line. Its digits D and the power of ten are exact doubles. Their quotient rounded to
// double lies within 2^-53 of D / 10^k, closer than any midpoint between two floats can lie (at
// least 2^-51.5 of the value for D below 10^8) unless it is one exactly, so rounding it to float
// gives the correctly rounded result. For D below 2^24 and k up to 7 the midpoints lie at least
// 2^-48 away and none is met exactly, so the product with the double nearest 10^-k, within 2^-52,
// serves as well and costs less than a division. Everything else takes the full way.
inline ScanResult scanFloat(const char* first, const char* last, float& value) {
  static constexpr double kPowersOfTen[9] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8};
  static constexpr double kInversePowersOfTen[8] = {1e0, 1e-1, 1e-2, 1e-3, 1e-4, 1e-5, 1e-6, 1e-7};
  const auto signedQuotient = [&](bool negative, std::uint32_t digits, int fraction) {
    const double quotient = digits < (1u << 24) && fraction <= 7
                                ? static_cast<double>(digits) * kInversePowersOfTen[fraction]
                                : static_cast<double>(digits) / kPowersOfTen[fraction];
    const auto magnitude = static_cast<float>(quotient);
    return negative ? -magnitude : magnitude;
  };
  const auto endsNumber = [&](const char* q) {
    return q == last || (!isDecimalDigit(*q) && *q != 'e' && *q != 'E');
  };
  constexpr int kMaxDigits = 8;
  const char* p = first;
  while (p != last && isStreamSpace(*p)) ++p;
  if (p == last) {  // the end of a line: the readers' loops stop here
    value = 0.0f;
    return {p, false};
  }
  const bool negative = *p == '-';
  p += negative;
  std::uint32_t wordDigits = 0;
  int wordFraction = 0;
  if (last - p >= 8 && scanSevenDigitsAroundPoint(p, wordDigits, wordFraction)) {
    const char* q = p + 8;
    if (q != last && isDecimalDigit(*q)) {  // an eighth digit
      wordDigits = wordDigits * 10 + static_cast<std::uint32_t>(*q++ - '0');
      ++wordFraction;
    }
    if (endsNumber(q)) {
      value = signedQuotient(negative, wordDigits, wordFraction);
      return {q, true};
    }
  }
  std::uint32_t digits = 0;
  int count = 0;
  for (; p != last && isDecimalDigit(*p); ++p) {
    if (++count > kMaxDigits) return scanFloatInFull(first, last, value);
    digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
  }
  int fraction = 0;
  if (p != last && *p == '.') {
    for (++p; p != last && isDecimalDigit(*p); ++p, ++fraction) {
      if (++count > kMaxDigits) return scanFloatInFull(first, last, value);
      digits = digits * 10 + static_cast<std::uint32_t>(*p - '0');
    }
  }
  if (count == 0 || !endsNumber(p)) return scanFloatInFull(first, last, value);
  value = signedQuotient(negative, digits, fraction);
  return {p, true};
}

// Reads an int as `stream >> value` does: white space skipped, an optional sign, decimal digits.
// On failure `value` is 0, except on overflow, where it is INT_MAX or INT_MIN.
ScanResult scanInt(const char* first, const char* last, std::int32_t& value);

// Reads one to nine decimal digits at `p` that no further digit follows, the common case of a
// number in an index list, which cannot overflow: stores them in `value`, moves `p` behind them
// and returns true. Returns false (leaving `p` and `value` as they were) for anything else.
inline bool scanShortDigits(const char*& p, const char* last, std::int32_t& value) {
  const char* q = p;
  const char* const stop = last - p > 9 ? p + 9 : last;
  std::int32_t number = 0;
  for (; q != stop && isDecimalDigit(*q); ++q) number = number * 10 + (*q - '0');
  if (q == p || (q != last && isDecimalDigit(*q))) return false;
  value = number;
  p = q;
  return true;
}

// Whether the digits from `digits` up to the separator at q[-1] stand again at `q`, followed by a
// space or `end`: the common index pair "12/12", whose second number needs no reading. Moves `q`
// behind them if so. Eight bytes must be readable at `digits` and at `q`, as they are within a
// line handed out by ChunkedInput.
inline bool sameDigitsFollow(const char* digits, const char*& q, const char* end) {
  const auto count = static_cast<std::size_t>(q - 1 - digits);
  if (count > 8 || static_cast<std::size_t>(end - q) < count) return false;
  const char* const behind = q + count;
  if (behind != end && *behind != ' ') return false;
  std::uint64_t first;
  std::uint64_t second;
  std::memcpy(&first, digits, sizeof first);
  std::memcpy(&second, q, sizeof second);
  const std::uint64_t mask = count == 8 ? ~std::uint64_t{0} : (std::uint64_t{1} << (8 * count)) - 1;
  if (std::endian::native != std::endian::little || ((first ^ second) & mask) != 0) return false;
  q = behind;
  return true;
}

// Reads the plain corner of a face at `p`: "12/34", or "12" alone when `loneNumber` allows it
// (both numbers 12 then), with one to nine digits per number and a space or `end` behind it.
// Moves `p` behind it and returns true; returns false (leaving `p` as it was) for anything else.
// As for sameDigitsFollow, eight bytes must be readable behind every number.
inline bool scanPlainCorner(const char*& p, const char* end, bool loneNumber,
                            std::int32_t& position, std::int32_t& texCoord) {
  const char* q = p;
  if (!scanShortDigits(q, end, position)) return false;
  if (q != end && *q == '/') {
    ++q;
    if (sameDigitsFollow(p, q, end)) {
      texCoord = position;
    } else if (!scanShortDigits(q, end, texCoord)) {
      return false;
    }
  } else if (loneNumber) {
    texCoord = position;
  } else {
    return false;
  }
  if (q != end && *q != ' ') return false;
  p = q;
  return true;
}

}  // namespace mevrix::common
