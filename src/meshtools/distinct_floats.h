#pragma once
// The distinct values of a stream of floats, compared as floats (0 and -0 are one value), with
// each value's rank among them.

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "common/block_vector.h"

namespace mevrix::meshtools {

class DistinctFloats {
 public:
  // The id of `value`: ids count distinct values from 0 in the order they were first added.
  // `value` must not be a NaN.
  std::uint32_t add(float value);

  std::size_t size() const { return values_.size(); }
  float value(std::uint32_t id) const { return values_[id]; }

  // For every id, the rank of its value among all distinct values, ascending from 0. One array
  // of them all: meant for the few values of a texture grid.
  std::vector<std::uint32_t> ranks() const;

 private:
  // The table is split by the hash's top bits into partitions that grow on their own, so that
  // no single allocation grows with the number of values.
  static constexpr std::size_t kPartitionBits = 6;
  struct Partition {
    std::vector<std::uint32_t> slots;  // open addressing: id + 1, or 0 for an empty slot
    std::size_t used = 0;
  };

  std::uint32_t find(std::uint32_t key, float value);
  void grow(Partition& partition);

  common::BlockVector<float> values_;  // by id
  // The value added last and its id: a grid repeats one value many times in a row.
  std::uint32_t lastKey_ = 0;
  std::uint32_t lastId_ = 0;
  std::array<Partition, std::size_t{1} << kPartitionBits> partitions_;
};

}  // namespace mevrix::meshtools
