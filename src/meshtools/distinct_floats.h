#pragma once
// The distinct values of a stream of floats, compared as floats (0 and -0 are one value), with
// each value's rank among them.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace mevrix::meshtools {

class DistinctFloats {
 public:
  // The id of `value`: ids count distinct values from 0 in the order they were first added.
  // `value` must not be a NaN.
  std::uint32_t add(float value);

  std::size_t size() const { return values_.size(); }
  float value(std::uint32_t id) const { return values_[id]; }

  // For every id, the rank of its value among all distinct values, ascending from 0.
  std::vector<std::uint32_t> ranks() const;

 private:
  void grow();

  std::vector<float> values_;         // by id
  std::vector<std::uint32_t> slots_;  // open addressing: id + 1, or 0 for an empty slot
  std::size_t mask_ = 0;
};

}  // namespace mevrix::meshtools
