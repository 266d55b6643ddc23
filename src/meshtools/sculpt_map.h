#pragma once
// Sculpt maps: a mesh laid out on a regular texture-coordinate grid turned into a 24-bit BMP
// image whose pixel colours are its vertex positions.

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "common/chunked_input.h"
#include "common/output_sink.h"

namespace mevrix::meshtools {

// The results of OBJtoSculpty.
enum class SculptResult : std::int32_t {
  written = 0,
  cannotRead = -1,      // the OBJ file could not be opened or read
  cannotWrite = -4,     // the image could not be opened, written, flushed or closed
  missingPath = -9,     // a path is null
  notAGrid = -64,       // the number of faces does not match the texture-coordinate grid
  malformedMesh = -65,  // a line is not what it starts as, or a face names no entry
  tooLarge = -2048,     // the image would be wider or higher than 2048 pixels
};

// Maps coordinates linearly onto channel values around the origin: the origin to 127, the
// largest absolute coordinate to 255 (254 where the single-precision scale rounds down), its
// negative to 0.
class ChannelScale {
 public:
  // `maxCoord` and `minCoord` are the extent of all coordinates, with 0 inside it.
  ChannelScale(float maxCoord, float minCoord);
  // The channel value of coordinate `c`, which lies inside the extent.
  std::int32_t operator()(float c) const;

 private:
  double scale_ = 0;
};

// The picture: width * height pixels of three bytes (blue, green, red), row 0 (the smallest v)
// first, each row from the smallest u to the largest.
struct SculptMap {
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;
};

// Reads the OBJ text of `input` in two passes, checks its grid and places every face's corners on
// the map. Returns `written` with the map filled in, or why there is no map: `notAGrid`, then
// `tooLarge`, then `malformedMesh`. Throws common::ReadError.
SculptResult buildSculptMap(common::ChunkedInput& input, SculptMap& map);

// Where a map's bytes go. It is written only once the map is built, so nothing is created or
// changed for a mesh that gives no map.
class MapOutput {
 public:
  // What writes the image: `written` to keep it, another result to give it up.
  using Writer = std::function<SculptResult(common::OutputSink&)>;

  virtual ~MapOutput() = default;
  // Opens the output, runs `write` and completes the output: `written` when every byte reached
  // it, `cannotWrite` when it could not be opened or written (memory running out included), or
  // what `write` gave instead of `written`.
  virtual SculptResult write(const Writer& write) = 0;
};

// A map's bytes kept in memory.
class MemoryMapOutput final : public MapOutput {
 public:
  SculptResult write(const Writer& write) override;
  std::string_view bytes() const { return sink_.contents(); }

 private:
  common::OutputSink sink_;
};

// Turns the OBJ text of `input` into the bytes of a BMP file in `output`; opens `output` only
// when the result is `written` or `cannotWrite`. `cannotRead` when the input could not be read
// or memory ran out before the map was built.
SculptResult convertToSculptMap(common::ChunkedInput& input, MapOutput& output);

// Reads the OBJ file at `objPath` and writes its sculpt map to `imagePath`. The image is written
// only once the map has been built, through a new file that replaces what `imagePath` held once
// complete (OutputFile::openReplacing), so a failure leaves the path as it was.
SculptResult objToSculptMap(const char* objPath, const char* imagePath);

}  // namespace mevrix::meshtools
