#include "common/number_format.h"

#include <charconv>

namespace mevrix::common {

char* formatG6(char* first, double value) {
  return std::to_chars(first, first + kMaxNumberChars, value, std::chars_format::general, 6).ptr;
}

char* formatInt(char* first, std::int64_t value) {
  return std::to_chars(first, first + kMaxNumberChars, value).ptr;
}

}  // namespace mevrix::common
