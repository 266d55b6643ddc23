#include "boundary/value_conversion.h"

#include <gtest/gtest.h>

#include <limits>

namespace mevrix::boundary {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInfinity = std::numeric_limits<double>::infinity();

TEST(ValueConversion, IntegerTruncatesTowardZeroAndSaturates) {
  EXPECT_EQ(toInteger(2.9), 2);
  EXPECT_EQ(toInteger(-2.9), -2);
  EXPECT_EQ(toInteger(-0.5), 0);
  EXPECT_EQ(toInteger(kNaN), 0);
  EXPECT_EQ(toInteger(2147483647.9), 2147483647);
  EXPECT_EQ(toInteger(2147483648.0), 2147483647);
  EXPECT_EQ(toInteger(1e300), 2147483647);
  EXPECT_EQ(toInteger(kInfinity), 2147483647);
  EXPECT_EQ(toInteger(-2147483648.9), -2147483647 - 1);
  EXPECT_EQ(toInteger(-kInfinity), -2147483647 - 1);
}

TEST(ValueConversion, FlagIsTrueForEverythingButZero) {
  EXPECT_FALSE(toFlag(0.0));
  EXPECT_FALSE(toFlag(-0.0));
  EXPECT_TRUE(toFlag(kNaN));
  EXPECT_TRUE(toFlag(1e-300));
  EXPECT_TRUE(toFlag(-1.0));
}

TEST(ValueConversion, ExactlyOneMeansExactly) {
  EXPECT_TRUE(isExactlyOne(1.0));
  EXPECT_FALSE(isExactlyOne(1.0000000000000002));
  EXPECT_FALSE(isExactlyOne(0.9999999999999999));
  EXPECT_FALSE(isExactlyOne(kNaN));
  EXPECT_EQ(toReal(0.25), 0.25);
}

}  // namespace
}  // namespace mevrix::boundary
