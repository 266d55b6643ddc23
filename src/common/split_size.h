#pragma once
// The sizes at which the library splits its work into pieces: windows of input, output buffers,
// storage blocks, header pages, table slots, copy blocks. Each place keeps its production size as
// a constant and takes it through splitSize(), so that tests can make all of them tiny at once
// and cross the edges between pieces with small inputs.

#include <algorithm>
#include <cstddef>
#include <utility>

namespace mevrix::common {

namespace detail {
inline std::size_t testSplitSize = 0;  // 0: every place uses its production size
}  // namespace detail

// `production`, or the size a test asked for: never above `production`, nor below `smallest`,
// the least that the place needs.
inline std::size_t splitSize(std::size_t production, std::size_t smallest = 1) {
  const std::size_t test = detail::testSplitSize;
  if (test == 0) return production;
  return std::clamp(test, std::min(smallest, production), production);
}

// For tests: from now on every place splits its work at `size` (bytes or elements, as the place
// counts); 0 gives every place its production size again. Returns the size set before.
inline std::size_t splitWorkForTesting(std::size_t size) {
  return std::exchange(detail::testSplitSize, size);
}

}  // namespace mevrix::common
