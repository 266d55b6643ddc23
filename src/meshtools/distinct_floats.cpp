#include "meshtools/distinct_floats.h"

#include <algorithm>
#include <bit>
#include <new>
#include <numeric>

#include "common/split_size.h"

namespace mevrix::meshtools {
namespace {

constexpr std::size_t kInitialSlots = 16;
// 2^24 slots of 4 bytes: 64 MiB, the largest allocation the library makes.
constexpr std::size_t kMaxSlots = std::size_t{1} << 24;

// Equal floats get equal keys: -0 is keyed as 0.
std::uint32_t keyOf(float value) {
  return std::bit_cast<std::uint32_t>(value + 0.0f);
}

std::uint64_t hashOf(std::uint32_t key) {
  return key * 0x9E3779B97F4A7C15ull;
}

// The slot bits lie below the partition bits, so the two choices are independent.
std::size_t slotOf(std::uint64_t hash, std::size_t mask) {
  return static_cast<std::size_t>(hash >> 32) & mask;
}

}  // namespace

std::uint32_t DistinctFloats::add(float value) {
  const std::uint32_t key = keyOf(value);
  if (key == lastKey_ && !values_.empty()) return lastId_;
  lastKey_ = key;
  lastId_ = find(key, value);
  return lastId_;
}

std::uint32_t DistinctFloats::find(std::uint32_t key, float value) {
  const std::uint64_t hash = hashOf(key);
  Partition& partition = partitions_[hash >> (64 - kPartitionBits)];
  if (partition.used >= partition.slots.size() / 2) grow(partition);
  const std::size_t mask = partition.slots.size() - 1;
  for (std::size_t slot = slotOf(hash, mask);; slot = (slot + 1) & mask) {
    const std::uint32_t entry = partition.slots[slot];
    if (entry == 0) {
      // Ids are 32-bit; more distinct values than that cannot come from a 32-bit key anyway.
      const auto id = static_cast<std::uint32_t>(values_.size());
      values_.push_back(value);
      partition.slots[slot] = id + 1;
      ++partition.used;
      return id;
    }
    if (keyOf(values_[entry - 1]) == key) return entry - 1;
  }
}

void DistinctFloats::grow(Partition& partition) {
  const std::size_t size = partition.slots.empty()
                               ? std::bit_floor(common::splitSize(kInitialSlots, 2))
                               : partition.slots.size() * 2;
  if (size > kMaxSlots) throw std::bad_alloc();
  std::vector<std::uint32_t> slots(size, 0);
  const std::size_t mask = size - 1;
  for (const std::uint32_t entry : partition.slots) {
    if (entry == 0) continue;
    std::size_t slot = slotOf(hashOf(keyOf(values_[entry - 1])), mask);
    while (slots[slot] != 0) slot = (slot + 1) & mask;
    slots[slot] = entry;
  }
  partition.slots = std::move(slots);
}

std::vector<std::uint32_t> DistinctFloats::ranks() const {
  std::vector<std::uint32_t> byValue(values_.size());
  std::iota(byValue.begin(), byValue.end(), 0u);
  std::sort(byValue.begin(), byValue.end(),
            [&](std::uint32_t a, std::uint32_t b) { return values_[a] < values_[b]; });
  std::vector<std::uint32_t> rank(values_.size());
  for (std::size_t r = 0; r < byValue.size(); ++r) rank[byValue[r]] = static_cast<std::uint32_t>(r);
  return rank;
}

}  // namespace mevrix::meshtools
