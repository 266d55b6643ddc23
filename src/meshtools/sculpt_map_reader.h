#pragma once
// Reading the OBJ text a sculpt map is made from: positions, texture coordinates and faces only.
// Lines are told apart by their first two characters: "v " a position, "vt" a texture
// coordinate, "f " a face; every other line is ignored.

#include <array>
#include <cstddef>
#include <cstdint>

#include "common/block_vector.h"
#include "common/chunked_input.h"
#include "meshtools/distinct_floats.h"

namespace mevrix::meshtools {

struct SculptPosition {
  float x = 0, y = 0, z = 0;
};

// Everything but the faces, which are only counted: they are read afterwards, one at a time,
// by SculptFaceReader.
struct SculptMesh {
  common::BlockVector<SculptPosition> positions;
  // The distinct u and v values of all texture coordinates, compared as floats.
  DistinctFloats distinctU;
  DistinctFloats distinctV;
  // Per texture coordinate, the ids of its u and its v among the distinct values.
  common::BlockVector<std::array<std::uint32_t, 2>> texCoords;
  std::size_t faceLines = 0;
  // Where the first face line starts, so that SculptFaceReader starts there.
  std::uint64_t firstFaceOffset = 0;
  // The extent of all coordinates; both start at 0, so the origin always lies inside.
  float maxCoord = 0;
  float minCoord = 0;
  // False when a position line has fewer than three numbers or a texture-coordinate line fewer
  // than two; such a line adds nothing.
  bool wellFormed = true;
};

// Reads every line of `input` from its start. Throws common::ReadError.
SculptMesh readSculptMesh(common::ChunkedInput& input);

// One face line: its corners' 0-based position and texture-coordinate indices. A face with three
// corners has -1 in both fourth slots.
struct SculptFace {
  std::int32_t cornerCount = 0;
  std::array<std::int32_t, 4> position{-1, -1, -1, -1};
  std::array<std::int32_t, 4> texCoord{-1, -1, -1, -1};
};

// Reads the face lines of an input again, in file order, in a second pass.
class SculptFaceReader {
 public:
  // Reads the face lines `mesh` counted in `input`; faces must name entries among its positions
  // and texture coordinates. Throws common::ReadError when the input changed since.
  SculptFaceReader(common::ChunkedInput& input, const SculptMesh& mesh);

  // Reads the next face into `face`. Returns false after the last face line, and at a malformed
  // face line: fewer than three or more than four corners, a corner without two numbers, or a
  // number that names no entry (the numbers are 1-based; 0 and negative ones name none). Throws
  // common::ReadError when the face lines are no longer there.
  bool next(SculptFace& face);

  // True once next() has met a malformed face line; it then reads no further.
  bool malformed() const { return malformed_; }

 private:
  common::ChunkedInput& input_;
  std::size_t facesLeft_;
  std::size_t positions_;
  std::size_t texCoords_;
  bool malformed_ = false;
};

}  // namespace mevrix::meshtools
