#pragma once
// A caller's buffer with guard bytes in front of it and behind it, for checking that code given
// the buffer writes nowhere but where it may.

#include <algorithm>
#include <cstddef>
#include <string_view>
#include <vector>

namespace mevrix::test {

class GuardedBuffer {
 public:
  static constexpr std::size_t kGuardSize = 64;

  // A buffer of `size` bytes holding `contents` (cut to `size`) and a byte pattern behind it; the
  // guards hold the same pattern, which has no NUL, so a string written too far shows.
  GuardedBuffer(std::string_view contents, std::size_t size)
      : bytes_(kGuardSize + size + kGuardSize), size_(size) {
    for (std::size_t i = 0; i < bytes_.size(); ++i) bytes_[i] = static_cast<char>(0xA0 | (i & 0xF));
    const std::size_t kept = std::min(contents.size(), size);
    for (std::size_t i = 0; i < kept; ++i) bytes_[kGuardSize + i] = contents[i];
    original_ = bytes_;
  }

  char* data() { return bytes_.data() + kGuardSize; }
  const char* data() const { return bytes_.data() + kGuardSize; }
  std::size_t size() const { return size_; }

  // True when the front guard, and every byte from `offset` of the buffer to the end of the back
  // guard, are as they were made.
  bool unchangedFrom(std::size_t offset) const {
    const std::size_t first = kGuardSize + std::min(offset, size_);
    return std::equal(bytes_.begin(), bytes_.begin() + kGuardSize, original_.begin()) &&
           std::equal(bytes_.begin() + static_cast<std::ptrdiff_t>(first), bytes_.end(),
                      original_.begin() + static_cast<std::ptrdiff_t>(first));
  }
  bool unchanged() const { return unchangedFrom(0); }

 private:
  std::vector<char> bytes_;
  std::vector<char> original_;
  std::size_t size_;
};

}  // namespace mevrix::test
