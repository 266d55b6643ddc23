#pragma once
// The mesh the COLLADA writers export: what they need of an OBJ file, read in one pass.
//
// Position and texture-coordinate lines are not copied: the mesh keeps the file's bytes and the
// writers walk those lines again, in file order, when they write them. Faces are filed under
// their group with their corner numbers as the file writes them; normals are computed as the
// normal mode asks while the faces are read.

#include <cstddef>
#include <cstdint>
#include <map>
#include <optional>
#include <string_view>
#include <vector>

#include "common/file_reader.h"

namespace mevrix::collada {

// Group names in ascending order of their bytes taken as unsigned values, a name before every
// longer name it begins (std::char_traits<char> compares as unsigned char).
using GroupMap = std::map<std::string_view, std::int32_t, std::less<>>;

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

// The faces filed under one group. Empty lists hold no allocation, so even a file that names
// millions of groups costs little per group.
struct GroupSlot {
  std::vector<std::int32_t> faceSizes;  // corner tokens per face, one entry per face
  // The corners' position and texture-coordinate numbers as the OBJ file writes them (1-based;
  // the document's index is the number minus 1). Both lists always have the same length.
  std::vector<std::int32_t> positionNumbers;
  std::vector<std::int32_t> texCoordNumbers;
  std::vector<FaceNormal> faceNormals;  // one per face, normal mode 1 only

  std::size_t faceCount() const { return faceSizes.size(); }
};

// A run of whole lines in the mesh's text.
struct LineSpan {
  std::size_t begin = 0;
  std::size_t end = 0;
};

class ExportMesh {
 public:
  ExportMesh() = default;
  ExportMesh(ExportMesh&&) = default;
  ExportMesh& operator=(ExportMesh&&) = default;

  std::string_view text() const { return text_; }

  std::size_t positionCount = 0;  // position lines ("v ")
  std::size_t texCoordCount = 0;  // texture-coordinate lines ("vt")
  // Lines from the first to the last position line, and likewise for texture coordinates.
  LineSpan positionLines;
  LineSpan texCoordLines;

  // Normal modes 2 and up: each position's sum of face normals (scaled to unit length in mode
  // 2), in file order. The positions themselves are needed only while the file is read.
  std::vector<Vector3> vertexNormals;
  GroupMap groups;
  // Indexed by group index. Slot 0 exists from the start: faces before the first group line go
  // there, and the first group line takes index 0.
  std::vector<GroupSlot> slots;

 private:
  friend ExportMesh readExportMeshFromMemory(std::string_view, std::int32_t, std::size_t);
  friend std::optional<ExportMesh> readExportMesh(const char*, std::int32_t, std::size_t);

  common::FileBuffer storage_;  // the file's bytes when the mesh owns them
  std::string_view text_;
};

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

// Reads OBJ text that the caller keeps alive as long as the mesh. `mode` is the normal mode
// (0 or less: none; 1: a unit normal per face; 2: per vertex, area-weighted sums scaled to unit
// length; 3 or more: the same sums unscaled). A group line's name is its text from character
// `groupNameOffset` on. Never fails: what cannot be read is skipped as described in the source.
ExportMesh readExportMeshFromMemory(std::string_view text, std::int32_t mode,
                                    std::size_t groupNameOffset);

// Reads the whole file at `path` first, then its text as above. Nothing when the file cannot be
// opened or is not a regular file.
std::optional<ExportMesh> readExportMesh(const char* path, std::int32_t mode,
                                         std::size_t groupNameOffset);

}  // namespace mevrix::collada
