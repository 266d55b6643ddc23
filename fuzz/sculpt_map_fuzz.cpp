// The sculpt-map converter from OBJ text to the bytes of the BMP file, in memory. Checks that the
// result is one of the converter's results, that nothing is written unless a map is, and that a
// written image is exactly as large as its header says, within the size limit.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "common/output_sink.h"
#include "fuzz_support.h"
#include "meshtools/sculpt_map.h"

namespace {

using mevrix::fuzz::check;

std::uint32_t readU32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= std::uint32_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
  }
  return value;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using mevrix::meshtools::SculptResult;
  const std::string_view obj(reinterpret_cast<const char*>(data), size);
  mevrix::common::OutputSink sink;
  const SculptResult result = mevrix::meshtools::convertToSculptMap(obj, sink);
  const std::string_view image = sink.contents();
  switch (result) {
    case SculptResult::notAGrid:
    case SculptResult::malformedMesh:
    case SculptResult::tooLarge:
      check(image.empty());
      return 0;
    case SculptResult::written:
      break;
    default:
      std::abort();  // reading from memory can neither fail to read nor fail to write
  }
  check(image.size() >= 54 && image.substr(0, 2) == "BM");
  const std::uint32_t width = readU32(image, 18);
  const std::uint32_t height = readU32(image, 22);
  check(width % 2 == 0 && height % 2 == 0 && width <= 2048 && height <= 2048);
  const std::size_t rowBytes = (3 * std::size_t{width} + 3) / 4 * 4;
  check(image.size() == 54 + rowBytes * height);
  check(readU32(image, 2) == image.size());
  check(readU32(image, 34) == rowBytes * height);
  return 0;
}
