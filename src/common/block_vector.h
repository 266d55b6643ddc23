#pragma once
// A growable array kept in blocks of at most 1 MiB, so that no single allocation grows with the
// input and growing never needs old and new storage of the whole array at once. A 32-bit host's
// address space is fragmented; many small blocks fit where one large one would not.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

#include "common/split_size.h"

namespace mevrix::common {

template <typename T>
class BlockVector {
 public:
  // Elements per block: a power of two, so that indexing is a shift and a mask.
  static constexpr std::size_t kBlockSize =
      std::bit_floor(std::max<std::size_t>(1, (std::size_t{1} << 20) / sizeof(T)));

  void push_back(const T& value) { emplace_back(value); }

  template <typename... Args>
  T& emplace_back(Args&&... args) {
    // Mostly the last block has room: it never holds more than a block's elements.
    if (!blocks_.empty() && blocks_.back().size() < blocks_.back().capacity()) {
      ++size_;
      return blocks_.back().emplace_back(std::forward<Args>(args)...);
    }
    if (blocks_.empty() || blocks_.back().size() == blockSize()) {
      blocks_.emplace_back();
      // Only the first block starts small (a small array costs little); later ones are whole.
      if (blocks_.size() > 1) blocks_.back().reserve(blockSize());
    }
    std::vector<T>& block = blocks_.back();
    if (block.size() == block.capacity()) {
      block.reserve(std::min(blockSize(), std::max<std::size_t>(16, 2 * block.capacity())));
    }
    T& added = block.emplace_back(std::forward<Args>(args)...);
    ++size_;
    return added;
  }

  T& operator[](std::size_t i) { return blocks_[i >> shift_][i & mask_]; }
  const T& operator[](std::size_t i) const { return blocks_[i >> shift_][i & mask_]; }

  std::size_t size() const { return size_; }
  bool empty() const { return blocks_.empty(); }

  // Calls `visit` with every element in order.
  template <typename Visit>
  void forEach(Visit&& visit) const {
    for (const std::vector<T>& block : blocks_) {
      for (const T& value : block) visit(value);
    }
  }
  template <typename Visit>
  void forEach(Visit&& visit) {
    for (std::vector<T>& block : blocks_) {
      for (T& value : block) visit(value);
    }
  }

  // Empties the array and gives its memory back.
  void clear() {
    blocks_ = {};
    size_ = 0;
  }

 private:
  std::size_t blockSize() const { return std::size_t{1} << shift_; }

  std::vector<std::vector<T>> blocks_;
  std::size_t size_ = 0;
  // Blocks of kBlockSize elements, unless a test splits work smaller.
  unsigned shift_ = static_cast<unsigned>(std::countr_zero(std::bit_floor(splitSize(kBlockSize))));
  std::size_t mask_ = (std::size_t{1} << shift_) - 1;  // kept: indexing is on hot paths
};

}  // namespace mevrix::common
