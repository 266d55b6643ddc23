#pragma once
// The reference for the number scanner: what a string stream extracts, step by step, next to
// what the scanner reads from the same text.

#include <cstdint>
#include <cstring>
#include <sstream>
#include <string>
#include <vector>

#include "common/number_scan.h"

namespace mevrix::test {

struct Extraction {
  bool ok;
  std::uint64_t bits;  // the value's bytes, so that -0 and 0 differ
  long position;       // where the text stands afterwards

  bool operator==(const Extraction&) const = default;
};

template <typename T>
std::uint64_t bitsOf(T value) {
  std::uint64_t bits = 0;
  std::memcpy(&bits, &value, sizeof value);
  return bits;
}

// Every extraction from `text` until the first failure, by a string stream.
template <typename T>
std::vector<Extraction> streamExtractions(const std::string& text) {
  std::istringstream stream(text);
  std::vector<Extraction> steps;
  for (;;) {
    T value{};
    stream >> value;
    const bool ok = !stream.fail();
    stream.clear();
    steps.push_back({ok, bitsOf(value), static_cast<long>(stream.tellg())});
    if (!ok) return steps;
  }
}

// The same steps by the scanner.
template <typename T>
std::vector<Extraction> scannerExtractions(const std::string& text) {
  const char* p = text.data();
  const char* end = text.data() + text.size();
  std::vector<Extraction> steps;
  for (;;) {
    T value{};
    common::ScanResult result;
    if constexpr (std::is_same_v<T, float>) {
      result = common::scanFloat(p, end, value);
    } else {
      result = common::scanInt(p, end, value);
    }
    p = result.next;
    steps.push_back({result.ok, bitsOf(value), static_cast<long>(p - text.data())});
    if (!result.ok) return steps;
  }
}

}  // namespace mevrix::test
