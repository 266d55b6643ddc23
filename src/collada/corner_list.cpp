#include "collada/corner_list.h"

#include <algorithm>

#include "common/split_size.h"

namespace mevrix::collada {
namespace {

constexpr std::size_t kFirstBlockBytes = 64;
constexpr std::size_t kLargestBlockBytes = std::size_t{1} << 20;

}  // namespace

void ByteBlocks::addBlock(std::size_t least) {
  const std::size_t size = std::max(
      least, blocks_.empty() ? common::splitSize(kFirstBlockBytes)
                             : std::min(2 * capacity_, common::splitSize(kLargestBlockBytes)));
  blocks_.push_back({std::make_unique_for_overwrite<std::uint8_t[]>(size), 0});
  capacity_ = size;
  used_ = 0;
}

}  // namespace mevrix::collada
