// The scanner must read exactly what stream extraction reads: the same value (bit for bit), the
// same success, and the same position afterwards, for one number and for a run of numbers.

#include "common/number_scan.h"

#include <gtest/gtest.h>

#include <bit>
#include <random>
#include <string>

#include "support/stream_extraction.h"

namespace mevrix::common {
namespace {

using test::scannerExtractions;
using test::streamExtractions;

void expectSameAsStream(const std::string& text) {
  const auto floats = streamExtractions<float>(text);
  const auto scannedFloats = scannerExtractions<float>(text);
  ASSERT_EQ(floats.size(), scannedFloats.size()) << "float steps for \"" << text << '"';
  for (std::size_t i = 0; i < floats.size(); ++i) {
    EXPECT_EQ(floats[i].ok, scannedFloats[i].ok) << "float step " << i << " of \"" << text << '"';
    EXPECT_EQ(floats[i].bits, scannedFloats[i].bits) << "float step " << i << " of \"" << text << '"';
    EXPECT_EQ(floats[i].position, scannedFloats[i].position)
        << "float step " << i << " of \"" << text << '"';
  }
  const auto ints = streamExtractions<std::int32_t>(text);
  const auto scannedInts = scannerExtractions<std::int32_t>(text);
  ASSERT_EQ(ints.size(), scannedInts.size()) << "int steps for \"" << text << '"';
  for (std::size_t i = 0; i < ints.size(); ++i) {
    EXPECT_EQ(ints[i].ok, scannedInts[i].ok) << "int step " << i << " of \"" << text << '"';
    EXPECT_EQ(ints[i].bits, scannedInts[i].bits) << "int step " << i << " of \"" << text << '"';
    EXPECT_EQ(ints[i].position, scannedInts[i].position)
        << "int step " << i << " of \"" << text << '"';
  }
}

TEST(NumberScan, TrickyTextsMatchStreamExtraction) {
  const char* const texts[] = {
      "", " ", "0", "-0", "+0", "1", "+1", "-1", "12 34 56", "1.5", ".5", "5.", ".", "-.", "+.5",
      "-", "+", "+-1", "-+1", "--1", "1e5", "1E5", "1e+5", "1e-5", "1e", "1e+", "1e-", "1ex",
      ".e5", "1.e5", "1.5e5.5", "1e5e5", "00012.5e-1x", "000", "0.000", "1..2", "1.2.3",
      "inf", "-inf", "nan", "NaN", "infinity", "0x10", "0x1p3", "1,5", "1_000", "  \t\n\v\f\r7",
      "3.4028235e38", "3.4028236e38", "3.5e38", "-3.5e38", "1e39", "1e-38", "1e-40", "1e-45",
      "1.4e-45", "7e-46", "7.1e-46", "1e-50", "-1e-50", "1e400", "1e-400", "0e999999999999",
      "1e99999999999999999999", "1e-99999999999999999999", "1e99e", "99999999999999999999999999999999999999999e",
      "-1e39e+", "1e-50e",
      "0.00000000000000000000000000000000000000000000000000000000001e60",
      "100000000000000000000000000000000000000000000000000000000000e-50",
      "2147483647", "2147483648", "-2147483648", "-2147483649", "99999999999999999999",
      "-99999999999999999999", "4294967296", "9223372036854775808", "0000000000000000000001",
      "1/2/3", "12/34", "5//7", "1 2\t3\n4\r\n5", "1-2", "1+2", "1.5-2.5e1+3", "abc", "1a",
      "0.1234567", "0.333333", "16777217", "1.00000005960464477539062", "3.14159265358979",
      "-1.17549435e-38", "1.17549421e-38", "\x80\x31", "1\x80", "\xff\xfe",
      "999999999", "1000000000", "0999999999", "999999999/1", "16777216", "16777218",
      "0.16777216", "16777.216", "1.6777217", "0.0000000001", "0.00000000001", "-0.5"};
  for (const char* text : texts) expectSameAsStream(text);
}

TEST(NumberScan, GeneratedTextsMatchStreamExtraction) {
  // Short texts drawn from the characters that matter to the grammar, weighted toward digits.
  const std::string alphabet = "0123456789012345678901234567890123456789..eE+-+-  \t\nxinfa/";
  std::mt19937 random(20261207);
  std::uniform_int_distribution<std::size_t> pick(0, alphabet.size() - 1);
  std::uniform_int_distribution<int> length(0, 24);
  for (int round = 0; round < 40000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) text += alphabet[pick(random)];
    expectSameAsStream(text);
    if (HasFailure()) return;
  }
}

TEST(NumberScan, GeneratedNumbersMatchStreamExtraction) {
  // Well-formed numbers across the whole float range, in the spellings writers produce.
  std::mt19937 random(4090);
  std::uniform_int_distribution<std::uint32_t> bits;
  const char* const formats[] = {"%.9g", "%.6f", "%.3e", "%.17g", "%+.8E", "%.1f"};
  for (int round = 0; round < 30000; ++round) {
    const float value = std::bit_cast<float>(bits(random));
    char text[512];
    std::snprintf(text, sizeof text, formats[round % 6], static_cast<double>(value));
    expectSameAsStream(text);
    if (HasFailure()) return;
  }
}

TEST(NumberScan, ShortDecimalsMatchStreamExtraction) {
  // Up to 2^24 as digits with up to ten of them behind the point, signs and leading zeros
  // included: the numbers the exact short cut reads, and the first ones beyond it.
  std::mt19937 random(1025);
  std::uniform_int_distribution<std::uint32_t> digits(0, (1u << 24) + 2);
  std::uniform_int_distribution<int> fraction(0, 11);
  for (int round = 0; round < 60000; ++round) {
    std::string text = std::to_string(digits(random));
    const int point = fraction(random);
    if (point > 0) {
      if (static_cast<int>(text.size()) <= point) text.insert(0, point - text.size() + 1, '0');
      text.insert(text.size() - point, 1, '.');
    }
    if (round % 3 == 1) text = "-" + text;
    if (round % 5 == 2) text = " 00" + text.substr(text[0] == '-' ? 1 : 0);
    expectSameAsStream(text);
    if (HasFailure()) return;
  }
  // Digit runs around the lengths where integers stop being short and start to overflow.
  std::uniform_int_distribution<int> length(1, 12);
  std::uniform_int_distribution<int> digit(0, 9);
  for (int round = 0; round < 20000; ++round) {
    std::string text;
    for (int i = length(random); i > 0; --i) text += static_cast<char>('0' + digit(random));
    expectSameAsStream(text + "/7");
    if (HasFailure()) return;
  }
}

TEST(NumberScan, ReportsWhereTheNumberEnds) {
  const std::string text = "  -12.5e1rest";
  float value = 0;
  const ScanResult result = scanFloat(text.data(), text.data() + text.size(), value);
  EXPECT_TRUE(result.ok);
  EXPECT_EQ(value, -125.0f);
  EXPECT_EQ(std::string(result.next), "rest");
}

TEST(NumberScan, NeverReadsPastTheGivenEnd) {
  // The digits behind the end must not be taken for part of the number.
  const std::string text = "12345";
  std::int32_t integer = 0;
  EXPECT_TRUE(scanInt(text.data(), text.data() + 2, integer).ok);
  EXPECT_EQ(integer, 12);
  float real = 0;
  EXPECT_TRUE(scanFloat(text.data(), text.data() + 3, real).ok);
  EXPECT_EQ(real, 123.0f);
  // Seven digits around a point are read as one word, but only when all eight bytes are given.
  const std::string longer = "-1.234567 ";
  for (const auto& [size, expected] : {std::pair{8, -1.23456f}, std::pair{9, -1.234567f}}) {
    const ScanResult result = scanFloat(longer.data(), longer.data() + size, real);
    EXPECT_TRUE(result.ok);
    EXPECT_EQ(real, expected) << size;
    EXPECT_EQ(result.next, longer.data() + size);
  }
}

}  // namespace
}  // namespace mevrix::common
