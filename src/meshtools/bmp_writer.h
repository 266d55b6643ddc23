#pragma once
// Uncompressed 24-bit BMP images.

#include <cstdint>
#include <span>

#include "common/output_sink.h"

namespace mevrix::meshtools {

// Writes a BMP file: the 54-byte header (every field little-endian, positive height so rows run
// bottom-up), then the rows in the order given, row 0 being the bottom row of the picture. Each
// row holds `width` pixels of three bytes in the order blue, green, red, followed by zero bytes
// up to a multiple of four. `pixels` holds the rows without padding: width * height * 3 bytes.
// Returns false, writing nothing, when `pixels` has another size or the file size would not fit
// the header's 32-bit fields.
bool writeBmp24(common::OutputSink& out, std::uint32_t width, std::uint32_t height,
                std::span<const std::uint8_t> pixels);

}  // namespace mevrix::meshtools
