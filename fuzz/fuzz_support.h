#pragma once
// What the fuzz targets share: taking parameters from the front of an input, failing a check, and
// the plain reference reading of lines that targets compare the library's output with.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <string_view>
#include <vector>

#include "common/byte_source.h"
#include "common/chunked_input.h"

namespace mevrix::fuzz {

// Ends the run, so that libFuzzer keeps the input, when a promise is broken.
inline void check(bool condition) {
  if (!condition) std::abort();
}

// The words of a text separated by runs of spaces (only spaces), as face tokens and the
// document's number lists are.
inline std::vector<std::string_view> words(std::string_view text) {
  std::vector<std::string_view> result;
  std::size_t p = 0;
  while (p < text.size()) {
    if (text[p] == ' ') {
      ++p;
      continue;
    }
    const std::size_t stop = std::min(text.find(' ', p), text.size());
    result.push_back(text.substr(p, stop - p));
    p = stop;
  }
  return result;
}

// The lines of a text as the library reads them: split at line feeds, one carriage return just
// before a line feed dropped, no empty line after a final line feed.
inline std::vector<std::string_view> referenceLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t p = 0;
  while (p < text.size()) {
    const std::size_t feed = text.find('\n', p);
    std::string_view line =
        text.substr(p, (feed == std::string_view::npos ? text.size() : feed) - p);
    p = feed == std::string_view::npos ? text.size() : feed + 1;
    if (feed != std::string_view::npos && line.ends_with('\r')) line.remove_suffix(1);
    lines.push_back(line);
  }
  return lines;
}

// Splits an input into the parameters a target takes from its front and the bytes the reader
// under test gets: the rest, as a view that ends exactly where the input ends, so that reading one
// byte too far is caught by the address sanitizer.

class FuzzInput {
 public:
  FuzzInput(const std::uint8_t* data, std::size_t size)
      : data_(reinterpret_cast<const char*>(data)), size_(size) {}

  // The next byte; 0 once the input is used up.
  std::uint8_t byte() {
    if (size_ == 0) return 0;
    --size_;
    return static_cast<std::uint8_t>(*data_++);
  }

  // The next sizeof(T) bytes, little-endian; missing bytes count as 0.
  template <typename T>
  T integer() {
    std::uint64_t bits = 0;
    for (std::size_t i = 0; i < sizeof(T); ++i) bits |= std::uint64_t{byte()} << (8 * i);
    return static_cast<T>(bits);
  }

  // The next eight bytes as the bits of a double.
  double real() {
    const std::uint64_t bits = integer<std::uint64_t>();
    double value = 0;
    std::memcpy(&value, &bits, sizeof value);
    return value;
  }

  // Everything not used yet.
  std::string_view rest() const { return {data_, size_}; }

 private:
  const char* data_;
  std::size_t size_;
};

// Bytes read through the library's chunked input as a reader reads a file, with a window size and
// a read size picked by `selector`, so that window boundaries and short reads fall anywhere. A
// selector of 0 reads as a file usually is read: a large window, reads as large as asked for.
class ChunkedBytes {
 public:
  ChunkedBytes(std::string_view bytes, std::uint8_t selector)
      : source_(bytes, kChunks[selector >> 4]), input_(source_, kWindows[selector & 15]) {}

  common::ChunkedInput& input() { return input_; }

 private:
  static constexpr std::size_t kMax = std::numeric_limits<std::size_t>::max();
  static constexpr std::size_t kWindows[16] = {common::ChunkedInput::kDefaultWindow,
                                               1, 2, 3, 4, 5, 7, 8, 11, 16, 24, 31, 64, 100,
                                               257, 4096};
  static constexpr std::size_t kChunks[16] = {kMax, 1, 2, 3, 4, 5, 7, 8, 11, 16, 24, 31, 64, 100,
                                              257, 4096};

  common::MemorySource source_;
  common::ChunkedInput input_;
};

}  // namespace mevrix::fuzz
