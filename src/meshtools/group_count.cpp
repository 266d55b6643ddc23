#include "meshtools/group_count.h"

#include <algorithm>
#include <bitset>
#include <cstdint>
#include <optional>

#include "common/file_reader.h"

namespace mevrix::meshtools {
namespace {

constexpr std::size_t kFirstBlock = 32;
constexpr std::size_t kBlockHeaderSize = 16;
constexpr std::uint32_t kGroupBlockTag = 40001;

// Little-endian reads; the caller has checked that the bytes are there.
std::uint32_t readU32(const unsigned char* p) {
  return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
         std::uint32_t{p[3]} << 24;
}
std::uint16_t readU16(const unsigned char* p) {
  return static_cast<std::uint16_t>(p[0] | p[1] << 8);
}

}  // namespace

int countGroupIds(std::string_view data) {
  const auto* bytes = reinterpret_cast<const unsigned char*>(data.data());
  const std::size_t size = data.size();
  // The walk position stays within the data: every step is checked against what is left.
  std::size_t position = kFirstBlock;
  for (;;) {
    if (position > size || size - position < kBlockHeaderSize) return kNoGroupBlock;
    const unsigned char* block = bytes + position;
    if (readU32(block) == kGroupBlockTag) break;
    const std::uint32_t length = readU32(block + 4);
    const std::size_t step = length == 0 ? kBlockHeaderSize : length;
    if (step >= size - position) return kNoGroupBlock;
    position += step;
  }

  const std::size_t entryCount = readU32(bytes + position + 8);
  position += kBlockHeaderSize;
  const std::size_t idCount = std::min(entryCount, (size - position) / 2);
  std::bitset<65536> seen;
  for (std::size_t i = 0; i < idCount; ++i) seen.set(readU16(bytes + position + 2 * i));
  return static_cast<int>(seen.count());
}

int countGroupsInFile(const char* path) {
  const std::optional<common::FileBuffer> file = common::readWholeFile(path);
  if (!file) return kGroupFileUnreadable;
  return countGroupIds(file->view());
}

}  // namespace mevrix::meshtools
