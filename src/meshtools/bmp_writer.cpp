#include "meshtools/bmp_writer.h"

#include <array>
#include <limits>
#include <string_view>

namespace mevrix::meshtools {
namespace {

constexpr std::uint32_t kFileHeaderSize = 14;
constexpr std::uint32_t kInfoHeaderSize = 40;
constexpr std::uint32_t kHeaderSize = kFileHeaderSize + kInfoHeaderSize;

class HeaderBytes {
 public:
  void put16(std::uint16_t value) { putLittleEndian(value, 2); }
  void put32(std::uint32_t value) { putLittleEndian(value, 4); }
  std::string_view bytes() const { return {bytes_.data(), size_}; }

 private:
  void putLittleEndian(std::uint32_t value, int width) {
    for (int i = 0; i < width; ++i) bytes_[size_++] = static_cast<char>((value >> (8 * i)) & 0xFF);
  }
  std::array<char, kHeaderSize> bytes_{};
  std::size_t size_ = 0;
};

}  // namespace

bool writeBmp24(common::OutputSink& out, std::uint32_t width, std::uint32_t height,
                std::span<const std::uint8_t> pixels) {
  const std::uint64_t rowPixelBytes = std::uint64_t{width} * 3;
  const std::uint64_t padding = (4 - rowPixelBytes % 4) % 4;
  const std::uint64_t rowBytes = rowPixelBytes + padding;
  // Width and height are at most 2^32 - 1, so none of these products overflows 64 bits.
  const std::uint64_t imageBytes = rowBytes * height;
  const std::uint64_t fileBytes = imageBytes + kHeaderSize;
  constexpr std::uint64_t kMaxSigned = std::numeric_limits<std::int32_t>::max();
  if (width > kMaxSigned || height > kMaxSigned ||
      fileBytes > std::numeric_limits<std::uint32_t>::max() ||
      pixels.size() != rowPixelBytes * height) {
    return false;
  }

  HeaderBytes header;
  header.put16(0x4D42);  // "BM"
  header.put32(static_cast<std::uint32_t>(fileBytes));
  header.put32(0);  // reserved
  header.put32(kHeaderSize);
  header.put32(kInfoHeaderSize);
  header.put32(width);
  header.put32(height);
  header.put16(1);   // planes
  header.put16(24);  // bits per pixel
  header.put32(0);   // no compression
  header.put32(static_cast<std::uint32_t>(imageBytes));
  for (int i = 0; i < 4; ++i) header.put32(0);  // resolutions, colours used and important
  out.put(header.bytes());

  if (pixels.empty()) return true;  // an image without pixels has no rows to write
  const auto* row = reinterpret_cast<const char*>(pixels.data());
  if (padding == 0) {
    out.put(std::string_view(row, pixels.size()));
    return true;
  }
  constexpr char kZeros[4] = {};
  for (std::uint32_t r = 0; r < height; ++r, row += rowPixelBytes) {
    out.put(std::string_view(row, rowPixelBytes));
    out.put(std::string_view(kZeros, padding));
  }
  return true;
}

}  // namespace mevrix::meshtools
