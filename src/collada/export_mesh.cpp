#include "collada/export_mesh.h"

#include <cmath>
#include <limits>

#include "common/number_scan.h"

namespace mevrix::collada {
namespace {

using common::isStreamSpace;

// The normal of the face through three points, in 32-bit arithmetic and in this operation order,
// so that every build writes the same last bits. Its length is twice the face's area.
Vector3 faceNormal(const Vector3& p0, const Vector3& p1, const Vector3& p2) {
  const float e1x = p1.x - p0.x;
  const float e1y = p1.y - p0.y;
  const float e1z = p1.z - p0.z;
  const float e2x = p2.x - p0.x;
  const float e2y = p2.y - p0.y;
  const float e2z = p2.z - p0.z;
  return {e1y * e2z - e1z * e2y, e1z * e2x - e1x * e2z, e1x * e2y - e1y * e2x};
}

// Divides by the 32-bit length. A zero length gives components that are not numbers; the
// writers print those as 0.
Vector3 scaledToUnitLength(Vector3 n) {
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  return {n.x / length, n.y / length, n.z / length};
}

std::int32_t clampedToInt32(std::size_t count) {
  return count > std::numeric_limits<std::int32_t>::max() ? std::numeric_limits<std::int32_t>::max()
                                                          : static_cast<std::int32_t>(count);
}

class MeshReader {
 public:
  MeshReader(ExportMesh& mesh, std::size_t groupNameOffset)
      : mesh_(mesh), mode_(mesh.mode), groupNameOffset_(groupNameOffset) {
    mesh_.slots.emplace_back();
  }

  void read(common::ChunkedInput& input) {
    input.rewind();
    std::string_view line;
    while (input.nextLine(line)) {
      switch (classifyObjLine(line)) {
        case ObjLineKind::position:
          extend(mesh_.positionLines, mesh_.positionCount++, input.lineOffset(), line.size());
          if (mode_ >= 1) readPosition(lineValueText(line));
          break;
        case ObjLineKind::texCoord:
          extend(mesh_.texCoordLines, mesh_.texCoordCount++, input.lineOffset(), line.size());
          break;
        case ObjLineKind::group:
          readGroup(line);
          break;
        case ObjLineKind::face:
          readFace(line);
          break;
        case ObjLineKind::other:
          break;
      }
    }
    if (mode_ == 2) mesh_.vertexNormals.forEach([](Vector3& n) { n = scaledToUnitLength(n); });
  }

 private:
  static void extend(LineSpan& span, std::size_t linesBefore, std::uint64_t begin,
                     std::size_t size) {
    if (linesBefore == 0) span.begin = begin;
    span.end = begin + size;
  }

  // Three numbers as stream extraction reads them; once one cannot be read, it and the rest
  // stay as the failed extraction left them (0, or the largest float on overflow).
  void readPosition(std::string_view numbers) {
    float xyz[3] = {0, 0, 0};
    const char* p = numbers.data();
    const char* end = p + numbers.size();
    for (float& value : xyz) {
      const common::ScanResult scan = common::scanFloat(p, end, value);
      if (!scan.ok) break;
      p = scan.next;
    }
    positions_.push_back({xyz[0], xyz[1], xyz[2]});
    if (mode_ >= 2) mesh_.vertexNormals.emplace_back();
  }

  void readGroup(std::string_view line) {
    const std::string_view name =
        line.size() > groupNameOffset_ ? line.substr(groupNameOffset_) : std::string_view{};
    auto entry = mesh_.groups.find(name);
    if (entry == mesh_.groups.end()) {
      entry = mesh_.groups.emplace(name, static_cast<std::int32_t>(mesh_.groups.size())).first;
      // Slot 0 already holds the faces read before the first group line.
      if (entry->second != 0) mesh_.slots.emplace_back();
    }
    current_ = static_cast<std::size_t>(entry->second);
  }

  // The corner tokens are the text behind "f" and the character after it, split at runs of
  // spaces. Each token stands for two numbers, position and texture coordinate: the text before
  // and after its first "/", or the whole token twice when it has none. Integers are read from
  // those texts in order, as stream extraction reads them from one text, until one cannot be
  // read; even ones are positions, odd ones texture coordinates.
  void readFace(std::string_view line) {
    GroupSlot& slot = mesh_.slots[current_];
    const char* p = line.data() + (line.size() > 2 ? 2 : line.size());
    const char* end = line.data() + line.size();
    if (readPlainFace(slot, p, end)) return;
    face_ = Face{};
    face_.corners = &slot.corners;
    std::size_t tokens = 0;
    bool reading = true;
    while (p != end) {
      if (*p == ' ') {
        ++p;
        continue;
      }
      ++tokens;
      const char* token = p;
      const char* slash = nullptr;
      for (; p != end && *p != ' '; ++p) {
        if (*p == '/' && !slash) slash = p;
      }
      if (!reading) continue;
      if (slash) {
        reading = readNumbers(token, slash) && readNumbers(slash + 1, p);
      } else {
        reading = readNumbers(token, p) && readNumbers(token, p);
      }
    }
    // A corner whose texture-coordinate number could not be read (such as "1//3", or a face
    // whose reading stopped right behind a position) takes its position number, as a corner
    // written without texture coordinate does. So every corner of the document has both indices.
    if (face_.numbers % 2 == 1) slot.corners.addCorner(face_.pending, face_.pending);

    slot.corners.addFace(clampedToInt32(tokens));
    if (mode_ >= 1) addFaceNormal(slot, tokens);
  }

  // The common face: at most kPlainCorners tokens, each "12/34" or "12" with at most nine digits
  // per number. Read in one tight pass, with the numbers the general rule gives, and filed only
  // once the whole line is known to be such a face. False, with nothing filed, for other lines.
  bool readPlainFace(GroupSlot& slot, const char* p, const char* end) {
    constexpr std::size_t kPlainCorners = 16;
    std::int32_t positions[kPlainCorners];
    std::int32_t texCoords[kPlainCorners];
    std::size_t count = 0;
    for (;;) {
      while (p != end && *p == ' ') ++p;
      if (p == end) break;
      if (count == kPlainCorners ||
          !common::scanPlainCorner(p, end, true, positions[count], texCoords[count])) {
        return false;
      }
      ++count;
    }
    slot.corners.addCorners(positions, texCoords, count);
    slot.corners.addFace(static_cast<std::int32_t>(count));
    if (mode_ >= 1) {
      face_.numbers = 2 * count;
      for (std::size_t i = 0; i < 4 && i < count; ++i) face_.positions[i] = positions[i];
      addFaceNormal(slot, count);
    }
    return true;
  }

  // Files the next integer of the face: even ones are positions, odd ones texture coordinates.
  void record(std::int32_t number) {
    if (face_.numbers % 2 == 0) {
      const std::size_t corner = face_.numbers / 2;
      if (corner < 4) face_.positions[corner] = number;
      face_.pending = number;
    } else {
      face_.corners->addCorner(face_.pending, number);
    }
    ++face_.numbers;
  }

  // Reads the integers of one text; false once one cannot be read.
  bool readNumbers(const char* p, const char* end) {
    for (;;) {
      while (p != end && isStreamSpace(*p)) ++p;
      if (p == end) return true;
      std::int32_t number = 0;
      const common::ScanResult scan = common::scanInt(p, end, number);
      if (!scan.ok) return false;
      p = scan.next;
      record(number);
    }
  }

  // The index of the position a number names, or -1 when no such position has been read yet.
  std::int64_t positionIndex(std::int32_t number) const {
    const std::int64_t index = std::int64_t{number} - 1;
    return index >= 0 && static_cast<std::uint64_t>(index) < positions_.size() ? index : -1;
  }

  // The normal from the first three corners; the zero normal when the face has fewer recorded
  // corners or one of them names no position read so far.
  void addFaceNormal(GroupSlot& slot, std::size_t tokens) {
    const std::size_t recorded = (face_.numbers + 1) / 2;
    std::int64_t index[4] = {-1, -1, -1, -1};
    for (std::size_t i = 0; i < 4 && i < recorded; ++i)
      index[i] = positionIndex(face_.positions[i]);
    const bool valid = index[0] >= 0 && index[1] >= 0 && index[2] >= 0;
    const Vector3 n = valid ? faceNormal(positions_[static_cast<std::size_t>(index[0])],
                                         positions_[static_cast<std::size_t>(index[1])],
                                         positions_[static_cast<std::size_t>(index[2])])
                            : Vector3{};
    if (mode_ == 1) {
      slot.faceNormals.push_back(
          {valid ? scaledToUnitLength(n) : Vector3{}, clampedToInt32(recorded)});
      return;
    }
    if (!valid) return;
    // A quadrilateral gives its normal to all four corners, other faces to their first three.
    const std::size_t receivers = tokens == 4 ? 4 : 3;
    for (std::size_t i = 0; i < receivers; ++i) {
      if (index[i] < 0) continue;
      Vector3& sum = mesh_.vertexNormals[static_cast<std::size_t>(index[i])];
      sum.x += n.x;
      sum.y += n.y;
      sum.z += n.z;
    }
  }

  struct Face {
    std::size_t numbers = 0;  // integers read so far
    std::int32_t positions[4] = {0, 0, 0, 0};
    std::int32_t pending = 0;  // the last position number, until its texture coordinate comes
    CornerList* corners = nullptr;  // of the face's group
  };

  ExportMesh& mesh_;
  const std::int32_t mode_;
  const std::size_t groupNameOffset_;
  common::BlockVector<Vector3> positions_;  // modes 1 and up
  std::size_t current_ = 0;
  Face face_;
};

}  // namespace

ExportMesh readExportMesh(common::ChunkedInput& input, std::int32_t mode,
                          std::size_t groupNameOffset) {
  ExportMesh mesh;
  mesh.mode = mode;
  MeshReader(mesh, groupNameOffset).read(input);
  return mesh;
}

}  // namespace mevrix::collada
