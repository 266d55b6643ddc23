#pragma once
// Reading the OBJ text a sculpt map is made from: positions, texture coordinates and faces only.
// Lines are told apart by their first two characters: "v " a position, "vt" a texture
// coordinate, "f " a face; every other line is ignored.

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "meshtools/distinct_floats.h"

namespace mevrix::meshtools {

struct SculptPosition {
  float x = 0, y = 0, z = 0;
};

// Everything but the faces, which are only counted: they are read afterwards, one at a time,
// by SculptFaceReader.
struct SculptMesh {
  std::vector<SculptPosition> positions;
  // The distinct u and v values of all texture coordinates, compared as floats.
  DistinctFloats distinctU;
  DistinctFloats distinctV;
  // Per texture coordinate, the ids of its u and its v among the distinct values.
  std::vector<std::array<std::uint32_t, 2>> texCoords;
  std::size_t faceLines = 0;
  // The stretch of the text from the first face line to the end of the last, where
  // SculptFaceReader needs to look.
  std::string_view faceText;
  // The extent of all coordinates; both start at 0, so the origin always lies inside.
  float maxCoord = 0;
  float minCoord = 0;
  // False when a position line has fewer than three numbers or a texture-coordinate line fewer
  // than two; such a line adds nothing.
  bool wellFormed = true;
};

SculptMesh readSculptMesh(std::string_view text);

// One face line: its corners' 0-based position and texture-coordinate indices. A face with three
// corners has -1 in both fourth slots.
struct SculptFace {
  std::int32_t cornerCount = 0;
  std::array<std::int32_t, 4> position{-1, -1, -1, -1};
  std::array<std::int32_t, 4> texCoord{-1, -1, -1, -1};
};

// Reads the face lines of OBJ text in file order.
class SculptFaceReader {
 public:
  // Reads the face lines of `text`, such as a mesh's faceText; faces must name entries among the
  // first `positions` positions and `texCoords` texture coordinates.
  SculptFaceReader(std::string_view text, std::size_t positions, std::size_t texCoords)
      : p_(text.data()),
        end_(text.data() + text.size()),
        positions_(positions),
        texCoords_(texCoords) {}

  // Reads the next face into `face`. Returns false at the end of the text, and at a malformed
  // face line: fewer than three or more than four corners, a corner without two numbers, or a
  // number that names no entry (the numbers are 1-based; 0 and negative ones name none).
  bool next(SculptFace& face);

  // True once next() has met a malformed face line; it then reads no further.
  bool malformed() const { return malformed_; }

 private:
  const char* p_;
  const char* end_;
  std::size_t positions_;
  std::size_t texCoords_;
  bool malformed_ = false;
};

}  // namespace mevrix::meshtools
