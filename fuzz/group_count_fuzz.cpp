// The group counter over the bytes of a mesh-exchange file, against a plain reference walk of the
// block chain that counts the distinct ids in a set. The input's first byte picks how the file's
// bytes are handed to the counter.

#include <cstdint>
#include <cstdlib>
#include <set>
#include <string_view>

#include "fuzz_support.h"
#include "meshtools/group_count.h"

namespace {

std::uint64_t little(std::string_view bytes, std::uint64_t offset, int width) {
  std::uint64_t value = 0;
  for (int i = 0; i < width; ++i) {
    value |= std::uint64_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
  }
  return value;
}

int referenceCount(std::string_view bytes) {
  std::uint64_t position = 32;
  while (position + 16 <= bytes.size()) {
    if (little(bytes, position, 4) == 40001) {
      std::set<std::uint64_t> ids;
      const std::uint64_t entries = little(bytes, position + 8, 4);
      for (std::uint64_t i = 0; i < entries && position + 16 + 2 * i + 2 <= bytes.size(); ++i) {
        ids.insert(little(bytes, position + 16 + 2 * i, 2));
      }
      return static_cast<int>(ids.size());
    }
    const std::uint64_t length = little(bytes, position + 4, 4);
    position += length == 0 ? 16 : length;
  }
  return mevrix::meshtools::kNoGroupBlock;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::uint8_t selector = input.byte();
  const std::string_view bytes = input.rest();
  mevrix::fuzz::ChunkedBytes file(bytes, selector);
  const int count = mevrix::meshtools::countGroupIds(file.input());
  if (count != referenceCount(bytes)) std::abort();
  if (count != mevrix::meshtools::kNoGroupBlock && (count < 0 || count > 65536)) std::abort();
  return 0;
}
