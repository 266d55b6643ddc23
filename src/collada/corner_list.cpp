#include "collada/corner_list.h"

#include <algorithm>

namespace mevrix::collada {
namespace {

constexpr std::size_t kFirstBlockBytes = 64;
constexpr std::size_t kLargestBlockBytes = std::size_t{1} << 20;

}  // namespace

void ByteBlocks::addBlock(std::size_t least) {
  const std::size_t size = std::max(
      least, blocks_.empty() ? kFirstBlockBytes : std::min(2 * capacity_, kLargestBlockBytes));
  blocks_.push_back({std::make_unique_for_overwrite<std::uint8_t[]>(size), 0});
  capacity_ = size;
  used_ = 0;
}

}  // namespace mevrix::collada
