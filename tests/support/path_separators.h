#pragma once
// Expected paths and file lists are written with "/"; the library joins and splits paths at the
// platform's separator, so tests compare against the text converted to it.

#include <string>
#include <string_view>

#include "common/path.h"

namespace mevrix::test {

inline std::string withPlatformSeparators(std::string_view text) {
  std::string converted(text);
  for (char& c : converted) {
    if (c == '/') c = common::kPathSeparator;
  }
  return converted;
}

}  // namespace mevrix::test
