#include "boundary/value_conversion.h"

#include <cmath>
#include <limits>

namespace mevrix::boundary {

std::int32_t toInteger(double value) {
  using Limits = std::numeric_limits<std::int32_t>;
  if (std::isnan(value)) return 0;
  // A cast of a value outside the range would be undefined, so saturate first.
  if (value <= static_cast<double>(Limits::min())) return Limits::min();
  if (value >= static_cast<double>(Limits::max())) return Limits::max();
  return static_cast<std::int32_t>(value);
}

}  // namespace mevrix::boundary
