#include "meshtools/distinct_floats.h"

#include <algorithm>
#include <bit>
#include <numeric>

namespace mevrix::meshtools {
namespace {

constexpr std::size_t kInitialSlots = 1024;

// Equal floats get equal keys: -0 is keyed as 0.
std::uint32_t keyOf(float value) {
  return std::bit_cast<std::uint32_t>(value + 0.0f);
}

std::size_t slotOf(std::uint32_t key, std::size_t mask) {
  return static_cast<std::size_t>((key * 0x9E3779B97F4A7C15ull) >> 32) & mask;
}

}  // namespace

std::uint32_t DistinctFloats::add(float value) {
  if (slots_.empty() || values_.size() >= slots_.size() / 2) grow();
  const std::uint32_t key = keyOf(value);
  for (std::size_t slot = slotOf(key, mask_);; slot = (slot + 1) & mask_) {
    const std::uint32_t entry = slots_[slot];
    if (entry == 0) {
      // Ids are 32-bit; more distinct values than that cannot come from a 32-bit key anyway.
      const auto id = static_cast<std::uint32_t>(values_.size());
      values_.push_back(value);
      slots_[slot] = id + 1;
      return id;
    }
    if (keyOf(values_[entry - 1]) == key) return entry - 1;
  }
}

void DistinctFloats::grow() {
  const std::size_t size = slots_.empty() ? kInitialSlots : slots_.size() * 2;
  slots_.assign(size, 0);
  mask_ = size - 1;
  for (std::size_t id = 0; id < values_.size(); ++id) {
    std::size_t slot = slotOf(keyOf(values_[id]), mask_);
    while (slots_[slot] != 0) slot = (slot + 1) & mask_;
    slots_[slot] = static_cast<std::uint32_t>(id + 1);
  }
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
