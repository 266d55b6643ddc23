#pragma once
// Expected texts are written with "\n"; the library ends its text lines with the platform's
// line end, so tests compare against the expected text converted to it.

#include <string>
#include <string_view>

#include "common/output_sink.h"

namespace mevrix::test {

inline std::string withPlatformLineEnds(std::string_view text) {
  std::string converted;
  converted.reserve(text.size());
  for (char c : text) {
    if (c == '\n') {
      converted += common::kLineEnd;
    } else {
      converted += c;
    }
  }
  return converted;
}

}  // namespace mevrix::test
