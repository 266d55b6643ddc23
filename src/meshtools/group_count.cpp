#include "meshtools/group_count.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <optional>

#include "common/split_size.h"

namespace mevrix::meshtools {
namespace {

constexpr std::uint64_t kFirstBlock = 32;
constexpr std::uint64_t kBlockHeaderSize = 16;
constexpr std::uint32_t kGroupBlockTag = 40001;
// Headers are read a page at a time, so a chain of short blocks costs few reads.
constexpr std::size_t kHeaderPage = 4096;
constexpr std::size_t kIdsPerRead = 4096;

// Little-endian reads; the caller has checked that the bytes are there.
std::uint32_t readU32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint16_t readU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

// The bytes around a walk position, read ahead by a page.
class HeaderReader {
 public:
  explicit HeaderReader(common::ChunkedInput& input) : input_(input) {}

  // The 16 header bytes at `position`, which the caller has checked lie within the input.
  const unsigned char* at(std::uint64_t position) {
    if (filled_ == 0 || position < start_ || position - start_ > filled_ - kBlockHeaderSize) {
      const std::uint64_t left = input_.size() - position;
      filled_ =
          input_.readAtLeast(position, reinterpret_cast<char*>(page_), kBlockHeaderSize,
                             static_cast<std::size_t>(std::min<std::uint64_t>(left, pageSize_)));
      start_ = position;
    }
    return page_ + (position - start_);
  }

 private:
  common::ChunkedInput& input_;
  const std::size_t pageSize_ = common::splitSize(kHeaderPage, kBlockHeaderSize);
  unsigned char page_[kHeaderPage];
  std::uint64_t start_ = 0;
  std::size_t filled_ = 0;
};

}  // namespace

int countGroupIds(common::ChunkedInput& input) {
  const std::uint64_t size = input.size();
  HeaderReader headers(input);
  // The walk position stays within the input: every step is checked against what is left.
  std::uint64_t position = kFirstBlock;
  const unsigned char* header = nullptr;
  for (;;) {
    if (position > size || size - position < kBlockHeaderSize) return kNoGroupBlock;
    header = headers.at(position);
    if (readU32(header) == kGroupBlockTag) break;
    const std::uint32_t length = readU32(header + 4);
    const std::uint64_t step = length == 0 ? kBlockHeaderSize : length;
    if (step >= size - position) return kNoGroupBlock;
    position += step;
  }

  const std::uint64_t entryCount = readU32(header + 8);
  position += kBlockHeaderSize;
  std::uint64_t idsLeft = std::min(entryCount, (size - position) / 2);
  std::bitset<65536> seen;
  unsigned char ids[2 * kIdsPerRead];
  const std::size_t idsPerRead = common::splitSize(kIdsPerRead);
  while (idsLeft != 0) {
    const auto count = static_cast<std::size_t>(std::min<std::uint64_t>(idsLeft, idsPerRead));
    input.readAt(position, reinterpret_cast<char*>(ids), 2 * count);
    for (std::size_t i = 0; i < count; ++i) seen.set(readU16(ids + 2 * i));
    position += 2 * count;
    idsLeft -= count;
  }
  return static_cast<int>(seen.count());
}

int countGroupsInFile(const char* path) {
  std::optional<common::FileSource> file = common::FileSource::open(path);
  if (!file) return kGroupFileUnreadable;
  int count = kGroupFileUnreadable;
  if (!common::completes([&] {
        common::ChunkedInput input(*file);
        count = countGroupIds(input);
      })) {
    return kGroupFileUnreadable;
  }
  return count;
}

}  // namespace mevrix::meshtools
