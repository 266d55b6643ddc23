#include "meshtools/sculpt_map.h"

#include <array>
#include <cstring>
#include <limits>
#include <new>

#include "common/export_output.h"
#include "meshtools/bmp_writer.h"
#include "meshtools/distinct_floats.h"
#include "meshtools/sculpt_map_reader.h"

namespace mevrix::meshtools {
namespace {

// Grid cells per side: 1024 cells of 2 x 2 pixels make the largest image, 2048 pixels.
constexpr std::size_t kMaxCellsPerSide = 1024;

// Takes one off the larger of two values; off `first` when they are equal.
void stepLargerBack(std::int32_t& first, std::int32_t& second) {
  if (first < second) {
    --second;
  } else {
    --first;
  }
}

using Pixel = std::array<std::uint8_t, 3>;  // blue, green, red

// Only the low byte of a channel value reaches the file.
std::uint8_t lowByte(std::int32_t value) {
  return static_cast<std::uint8_t>(value & 0xFF);
}

}  // namespace

ChannelScale::ChannelScale(float maxCoord, float minCoord) {
  if (minCoord < 0 && -minCoord > maxCoord) maxCoord = -minCoord;
  // All coordinates 0: no scale, every one maps to the origin's value.
  if (maxCoord == 0) return;
  const double quotient = 127.5 / static_cast<double>(maxCoord);
  // The scale is held in single precision; for extents so small that it would overflow a
  // float, the double quotient keeps the mapping finite.
  scale_ = quotient <= std::numeric_limits<float>::max()
               ? static_cast<double>(static_cast<float>(quotient))
               : quotient;
}

std::int32_t ChannelScale::operator()(float c) const {
  const double value = static_cast<double>(c) * scale_ + 127.5;
  // Inside the extent the value lies in [0, 256); the limits only keep the conversion defined.
  if (!(value < 2147483648.0)) return std::numeric_limits<std::int32_t>::max();
  if (!(value > -2147483649.0)) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(value);
}

SculptResult buildSculptMap(common::ChunkedInput& input, SculptMap& map) {
  SculptMesh mesh = readSculptMesh(input);
  const DistinctFloats& distinctU = mesh.distinctU;
  const DistinctFloats& distinctV = mesh.distinctV;
  if (distinctU.size() == 0 || distinctV.size() == 0) return SculptResult::notAGrid;

  // The grid has (Nu - 1) x (Nv - 1) cells, one face each.
  const std::size_t cellsU = distinctU.size() - 1;
  const std::size_t cellsV = distinctV.size() - 1;
  std::size_t cells = 0;
  if (__builtin_mul_overflow(cellsU, cellsV, &cells) || cells != mesh.faceLines) {
    return SculptResult::notAGrid;
  }
  if (cellsU > kMaxCellsPerSide || cellsV > kMaxCellsPerSide) return SculptResult::tooLarge;
  if (!mesh.wellFormed) return SculptResult::malformedMesh;

  const auto width = static_cast<std::int32_t>(2 * cellsU);
  const auto height = static_cast<std::int32_t>(2 * cellsV);

  // Each texture coordinate's ids become its pixel point: twice the ranks of its u and v, at
  // most 2048 here.
  const std::vector<std::uint32_t> rankU = distinctU.ranks();
  const std::vector<std::uint32_t> rankV = distinctV.ranks();
  common::BlockVector<std::array<std::uint32_t, 2>>& points = mesh.texCoords;
  points.forEach([&](std::array<std::uint32_t, 2>& point) {
    point[0] = 2 * rankU[point[0]];
    point[1] = 2 * rankV[point[1]];
  });

  // Each position's pixel colour; the positions themselves are not needed after this.
  const ChannelScale scale(mesh.maxCoord, mesh.minCoord);
  common::BlockVector<Pixel> colours;
  mesh.positions.forEach([&](const SculptPosition& p) {
    colours.push_back({lowByte(scale(p.z)), lowByte(scale(p.y)), lowByte(scale(p.x))});
  });
  SculptFaceReader faces(input, mesh);
  mesh.positions.clear();

  map.width = static_cast<std::uint32_t>(width);
  map.height = static_cast<std::uint32_t>(height);
  map.pixels.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);

  SculptFace face;
  while (faces.next(face)) {
    const std::int32_t n = face.cornerCount;
    std::int32_t column[4] = {};
    std::int32_t row[4] = {};
    for (std::int32_t k = 0; k < n; ++k) {
      const auto [pointColumn, pointRow] = points[static_cast<std::size_t>(face.texCoord[k])];
      column[k] = static_cast<std::int32_t>(pointColumn);
      row[k] = static_cast<std::int32_t>(pointRow);
    }
    if (n == 3) {
      // A triangle's missing corner stands where a quadrilateral's fourth corner would, so the
      // three present corners land where that quadrilateral's would.
      column[3] = column[2];
      row[3] = row[0];
    }
    // Each pair steps its larger value back by one, which puts the corners of a face that goes
    // around its cell onto the four pixels of the cell's 2 x 2 block.
    stepLargerBack(row[0], row[1]);
    stepLargerBack(row[3], row[2]);
    stepLargerBack(column[0], column[3]);
    stepLargerBack(column[1], column[2]);

    for (std::int32_t k = 0; k < n; ++k) {
      // A face whose corners do not go around one cell can land outside the picture.
      if (column[k] < 0 || column[k] >= width || row[k] < 0 || row[k] >= height) continue;
      const std::size_t pixel = static_cast<std::size_t>(row[k]) * static_cast<std::size_t>(width) +
                                static_cast<std::size_t>(column[k]);
      const Pixel& colour = colours[static_cast<std::size_t>(face.position[k])];
      std::memcpy(map.pixels.data() + pixel * 3, colour.data(), colour.size());
    }
  }
  if (faces.malformed()) {
    map = SculptMap{};
    return SculptResult::malformedMesh;
  }
  return SculptResult::written;
}

SculptResult convertToSculptMap(common::ChunkedInput& input, MapOutput& output) {
  SculptMap map;
  SculptResult built = SculptResult::cannotRead;
  if (!common::completes([&] { built = buildSculptMap(input, map); })) {
    return SculptResult::cannotRead;
  }
  if (built != SculptResult::written) return built;

  return output.write([&](common::OutputSink& sink) {
    return writeBmp24(sink, map.width, map.height, map.pixels) ? SculptResult::written
                                                               : SculptResult::tooLarge;
  });
}

SculptResult MemoryMapOutput::write(const Writer& write) {
  SculptResult result = SculptResult::cannotWrite;
  // Memory running out while the bytes are kept is a failed write.
  if (!common::completes([&] { result = write(sink_); })) return SculptResult::cannotWrite;
  return result;
}

namespace {

// The image file, written only when the map is built, through a new file that takes the image's
// place once complete: a failure leaves whatever the path held.
class MapFile final : public MapOutput {
 public:
  MapFile(const char* path, common::FileSource& source) : path_(path), source_(source) {}

  SculptResult write(const Writer& write) override {
    // The map is built: the OBJ file has been read for the last time, so even an image that
    // names it may be written directly (no identity to protect), and it is closed before the
    // image takes its place.
    return common::writeExportOutput(
        path_, std::nullopt, &source_,
        {SculptResult::written, SculptResult::cannotWrite, SculptResult::cannotWrite}, write);
  }

 private:
  const char* path_;
  common::FileSource& source_;
};

}  // namespace

SculptResult objToSculptMap(const char* objPath, const char* imagePath) {
  std::optional<common::FileSource> source = common::FileSource::open(objPath);
  if (!source) return SculptResult::cannotRead;
  std::optional<common::ChunkedInput> input;
  if (!common::completes([&] { input.emplace(*source); })) return SculptResult::cannotRead;
  MapFile image(imagePath, *source);
  return convertToSculptMap(*input, image);
}

}  // namespace mevrix::meshtools
