#pragma once
// A growable array kept in blocks of at most 1 MiB, so that no single allocation grows with the
// input and growing never needs old and new storage of the whole array at once. A 32-bit host's
// address space is fragmented; many small blocks fit where one large one would not.

#include <algorithm>
#include <bit>
#include <cstddef>
#include <vector>

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
    if (blocks_.empty() || blocks_.back().size() == kBlockSize) {
      blocks_.emplace_back();
      // Only the first block starts small (a small array costs little); later ones are whole.
      if (blocks_.size() > 1) blocks_.back().reserve(kBlockSize);
    }
    std::vector<T>& block = blocks_.back();
    if (block.size() == block.capacity()) {
      block.reserve(std::min(kBlockSize, std::max<std::size_t>(16, 2 * block.capacity())));
    }
    return block.emplace_back(std::forward<Args>(args)...);
  }

  T& operator[](std::size_t i) { return blocks_[i / kBlockSize][i % kBlockSize]; }
  const T& operator[](std::size_t i) const { return blocks_[i / kBlockSize][i % kBlockSize]; }

  std::size_t size() const {
    return blocks_.empty() ? 0 : (blocks_.size() - 1) * kBlockSize + blocks_.back().size();
  }
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
  void clear() { blocks_ = {}; }

 private:
  std::vector<std::vector<T>> blocks_;
};

}  // namespace mevrix::common
