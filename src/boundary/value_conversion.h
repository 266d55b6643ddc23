#pragma once
// The ways an export reads its `value` argument.

#include <cstdint>

namespace mevrix::boundary {

// Truncation toward zero to a 32-bit integer; NaN gives 0, values beyond the range its ends.
std::int32_t toInteger(double value);

// True when `value` is not equal to 0.0; NaN counts as not equal.
constexpr bool toFlag(double value) { return !(value == 0.0); }

// True only for exactly 1.0.
constexpr bool isExactlyOne(double value) { return value == 1.0; }

// The number itself.
constexpr double toReal(double value) { return value; }

}  // namespace mevrix::boundary
