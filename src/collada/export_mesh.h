#pragma once
// The mesh the COLLADA writers export: what they need of an OBJ file, read in one pass.
//
// Position and texture-coordinate lines are not kept: the mesh records where they stand in the
// file, and the writers read them again, in file order, when they write them. Faces are filed
// under their group with their corner numbers as the file writes them; normals are computed as
// the normal mode asks while the faces are read.

#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <string_view>

#include "collada/corner_list.h"
#include "common/block_vector.h"
#include "common/chunked_input.h"

namespace mevrix::collada {

// Group names in ascending order of their bytes taken as unsigned values, a name before every
// longer name it begins (std::char_traits<char> compares as unsigned char).
using GroupMap = std::map<std::string, std::int32_t, std::less<>>;

// Three 32-bit floats: a position or a normal.
struct Vector3 {
  float x = 0, y = 0, z = 0;
};

// One face's unit normal (normal mode 1) and the number of corners recorded for the face, which
// is how often the document repeats the normal.
struct FaceNormal {
  Vector3 normal;
  std::int32_t corners = 0;
};

// The faces filed under one group. An empty group holds no allocation, so even a file that names
// millions of groups costs little per group.
struct GroupSlot {
  // Each face's corner token count, and its corners' position and texture-coordinate numbers as
  // the OBJ file writes them (1-based; the document's index is the number minus 1).
  CornerList corners;
  common::BlockVector<FaceNormal> faceNormals;  // one per face, normal mode 1 only

  std::size_t faceCount() const { return corners.faceCount(); }
};

// A run of whole lines in the input: from the first byte of one line to the end of another.
struct LineSpan {
  std::uint64_t begin = 0;
  std::uint64_t end = 0;
};

struct ExportMesh {
  // The normal mode the mesh was read with (0 or less: none; 1: a unit normal per face; 2: per
  // vertex, area-weighted sums scaled to unit length; 3 or more: the same sums unscaled).
  std::int32_t mode = 0;

  std::size_t positionCount = 0;  // position lines ("v ")
  std::size_t texCoordCount = 0;  // texture-coordinate lines ("vt")
  // Lines from the first to the last position line, and likewise for texture coordinates.
  LineSpan positionLines;
  LineSpan texCoordLines;

  // Normal modes 2 and up: each position's sum of face normals (scaled to unit length in mode
  // 2), in file order. The positions themselves are needed only while the file is read.
  common::BlockVector<Vector3> vertexNormals;
  GroupMap groups;
  // Indexed by group index. Slot 0 exists from the start: faces before the first group line go
  // there, and the first group line takes index 0.
  common::BlockVector<GroupSlot> slots;
};

// Calls `visit(slot)` for every group's slot in the group map's order, the order of the
// document's elements.
template <typename Visit>
void forEachGroupInMapOrder(const ExportMesh& mesh, Visit&& visit) {
  for (const auto& [name, index] : mesh.groups) visit(mesh.slots[static_cast<std::size_t>(index)]);
}

// The text of a position or texture-coordinate line behind its first two characters, as the
// document carries it.
inline std::string_view lineValueText(std::string_view line) {
  return line.substr(2);
}

// What a line of an OBJ file is to the reader.
enum class ObjLineKind { other, position, texCoord, group, face };

constexpr ObjLineKind classifyObjLine(std::string_view line) {
  if (line.empty()) return ObjLineKind::other;
  switch (line[0]) {
    case 'v':
      if (line.size() < 2) return ObjLineKind::other;
      if (line[1] == ' ') return ObjLineKind::position;
      if (line[1] == 't') return ObjLineKind::texCoord;
      return ObjLineKind::other;
    case 'g':
      return ObjLineKind::group;
    case 'f':
      return ObjLineKind::face;
    default:
      return ObjLineKind::other;
  }
}

// Reads every line of `input` from its start with the normal `mode`. A group line's name is its
// text from character `groupNameOffset` on. What cannot be read is skipped as described in the
// source; only the input itself can fail (common::ReadError) or memory run out.
ExportMesh readExportMesh(common::ChunkedInput& input, std::int32_t mode,
                          std::size_t groupNameOffset);

}  // namespace mevrix::collada
