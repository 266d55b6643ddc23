#include "common/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdio>
#include <limits>
#include <random>
#include <string>

namespace mevrix::common {
namespace {

std::string g6(double value) {
  char text[kMaxNumberChars];
  return std::string(text, formatG6(text, value));
}

std::string printfG(double value) {
  char text[64];
  std::snprintf(text, sizeof text, "%g", value);
  return text;
}

TEST(NumberFormat, WritesWhatPrintfGWrites) {
  const double values[] = {0.0,
                           -0.0,
                           1.0,
                           -0.5,
                           0.57735,
                           0.25,
                           0.416667,
                           1.0 / 3.0,
                           0.0001,
                           0.00001,
                           0.000123456789,
                           123456.0,
                           999999.0,
                           999999.5,
                           1000000.0,
                           1234567.0,
                           1e-300,
                           1e300,
                           0.1234567,
                           9.9999949999,
                           std::numeric_limits<float>::max(),
                           std::numeric_limits<float>::min(),
                           std::numeric_limits<float>::denorm_min(),
                           127.5,
                           -2.5e-5};
  for (double value : values) EXPECT_EQ(g6(value), printfG(value)) << value;
}

TEST(NumberFormat, MatchesPrintfOnRandomFloats) {
  std::mt19937 random(1207);
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int round = 0; round < 20000; ++round) {
    const float value = std::bit_cast<float>(bits(random));
    if (!std::isfinite(value)) continue;
    ASSERT_EQ(g6(value), printfG(value)) << value;
  }
}

std::string floatG6(float value) {
  char text[kMaxNumberChars];
  return std::string(text, formatFloatG6(text, value));
}

TEST(NumberFormat, FloatsAreWrittenAsTheGeneralFormatWritesThem) {
  // Exact ties round to even: 12.03125 keeps its 2, 12.09375 rounds its 7 up.
  EXPECT_EQ(floatG6(12.03125f), "12.0312");
  EXPECT_EQ(floatG6(12.09375f), "12.0938");
  EXPECT_EQ(floatG6(0.099999994f), "0.1");
  EXPECT_EQ(floatG6(999999.5f), "1e+06");
  EXPECT_EQ(floatG6(-0.00025f), "-0.00025");
  const float values[] = {0.0f,      -0.0f,  1.0f,        0.25f,   0.416667f, 123456.0f,
                          999999.0f, 1e-4f,  9.99999e-5f, 1e6f,    1e-20f,    3e38f,
                          -7.5f,     100.0f, 0.1f,        0.30103f};
  for (float value : values) EXPECT_EQ(floatG6(value), g6(value)) << value;
}

TEST(NumberFormat, FloatsMatchTheGeneralFormatAroundEveryPowerOfTenAndAtRandom) {
  for (int power = -5; power <= 7; ++power) {
    const auto centre = std::bit_cast<std::int32_t>(static_cast<float>(std::pow(10.0, power)));
    for (std::int32_t offset = -3000; offset <= 3000; ++offset) {
      const float value = std::bit_cast<float>(centre + offset);
      ASSERT_EQ(floatG6(value), g6(value)) << value;
      ASSERT_EQ(floatG6(-value), g6(-value)) << -value;
    }
  }
  std::mt19937 random(2024);
  std::uniform_int_distribution<std::int32_t> bits(std::bit_cast<std::int32_t>(1e-5f),
                                                   std::bit_cast<std::int32_t>(1e7f));
  for (int round = 0; round < 200000; ++round) {
    const float value = std::bit_cast<float>(bits(random));
    ASSERT_EQ(floatG6(value), g6(value)) << value;
  }
}

TEST(NumberFormat, FloatsAtTheEdgesOfTheShortWayMatchPrintf) {
  const float values[] = {0.0f,      -0.0f,       1.0f,         -1.0f,      0.57735026f, 0.1f,
                          1e-4f,     9.99999e-5f, 0.000123456f, 9.9999996f, 99999.95f,   999999.4f,
                          999999.5f, 999999.6f,   100000.5f,    100001.5f,  0.5f,        123456.5f,
                          2.5e-5f,   3.4e38f,     -7.25f};
  for (float value : values) EXPECT_EQ(floatG6(value), printfG(value)) << value;
  // Every 401st float from 2^-16 to 2^22, of both signs: both sides of the short way's bounds.
  for (std::uint32_t bits = std::bit_cast<std::uint32_t>(0x1p-16f);
       bits < std::bit_cast<std::uint32_t>(0x1p22f); bits += 401) {
    const float value = std::bit_cast<float>(bits);
    ASSERT_EQ(floatG6(value), g6(value)) << value;
    ASSERT_EQ(floatG6(-value), g6(-value)) << value;
  }
}

TEST(NumberFormat, WritesPlainDecimalIntegers) {
  char text[kMaxNumberChars];
  EXPECT_EQ(std::string(text, formatInt(text, 0)), "0");
  EXPECT_EQ(std::string(text, formatInt(text, -42)), "-42");
  EXPECT_EQ(std::string(text, formatInt(text, std::numeric_limits<std::int64_t>::min())),
            "-9223372036854775808");
  // Every length on both sides of the eight-digit short cut, against printf.
  for (std::int64_t power = 1; power <= 10000000000; power *= 10) {
    for (const std::int64_t value : {power - 1, power, power + 7, 3 * power - 1}) {
      char expected[32];
      std::snprintf(expected, sizeof expected, "%lld", static_cast<long long>(value));
      EXPECT_EQ(std::string(text, formatInt(text, value)), expected);
    }
  }
}

}  // namespace
}  // namespace mevrix::common
