#include "collada/export_mesh.h"

#include <cmath>
#include <limits>

#include "common/number_scan.h"

namespace mevrix::collada {
namespace {

using common::isStreamSpace;

// The normal of the face through three points, in 32-bit arithmetic and in this operation order,
// so that every build writes the same last bits. Its length is twice the face's area.
struct Normal {
  float x = 0, y = 0, z = 0;
};

Normal faceNormal(const VertexRecord& p0, const VertexRecord& p1, const VertexRecord& p2) {
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
Normal scaledToUnitLength(Normal n) {
  const float length = std::sqrt(n.x * n.x + n.y * n.y + n.z * n.z);
  return {n.x / length, n.y / length, n.z / length};
}

class MeshReader {
 public:
  MeshReader(ExportMesh& mesh, std::int32_t mode, std::size_t groupNameOffset)
      : mesh_(mesh), mode_(mode), groupNameOffset_(groupNameOffset) {
    mesh_.slots.emplace_back();
  }

  void read(std::string_view text) {
    common::LineReader lines(text);
    std::string_view line;
    while (lines.next(line)) {
      const std::size_t begin = static_cast<std::size_t>(line.data() - text.data());
      switch (classifyObjLine(line)) {
        case ObjLineKind::position:
          extend(mesh_.positionLines, mesh_.positionCount++, begin, line.size());
          if (mode_ >= 1) readPosition(lineValueText(line));
          break;
        case ObjLineKind::texCoord:
          extend(mesh_.texCoordLines, mesh_.texCoordCount++, begin, line.size());
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
    if (mode_ == 2) {
      for (VertexRecord& v : mesh_.vertices) {
        const Normal n = scaledToUnitLength({v.nx, v.ny, v.nz});
        v.nx = n.x, v.ny = n.y, v.nz = n.z;
      }
    }
  }

 private:
  static void extend(LineSpan& span, std::size_t linesBefore, std::size_t begin, std::size_t size) {
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
    mesh_.vertices.push_back({xyz[0], xyz[1], xyz[2], 0, 0, 0});
  }

  void readGroup(std::string_view line) {
    const std::string_view name =
        line.size() > groupNameOffset_ ? line.substr(groupNameOffset_) : std::string_view{};
    const auto [entry, inserted] =
        mesh_.groups.try_emplace(name, static_cast<std::int32_t>(mesh_.groups.size()));
    // Slot 0 already holds the faces read before the first group line.
    if (inserted && entry->second != 0) mesh_.slots.emplace_back();
    current_ = static_cast<std::size_t>(entry->second);
  }

  // The corner tokens are the text behind "f" and the character after it, split at runs of
  // spaces. Each token stands for two numbers, position and texture coordinate: the text before
  // and after its first "/", or the whole token twice when it has none. Integers are read from
  // those texts in order, as stream extraction reads them from one text, until one cannot be
  // read; even ones are positions, odd ones texture coordinates.
  void readFace(std::string_view line) {
    GroupSlot& slot = mesh_.slots[current_];
    const std::string_view corners = line.size() > 2 ? line.substr(2) : std::string_view{};
    face_ = Face{};
    std::size_t tokens = 0;
    bool reading = true;
    std::size_t pos = 0;
    while (pos < corners.size()) {
      if (corners[pos] == ' ') {
        ++pos;
        continue;
      }
      std::size_t stop = corners.find(' ', pos);
      if (stop == std::string_view::npos) stop = corners.size();
      const std::string_view token = corners.substr(pos, stop - pos);
      pos = stop;
      ++tokens;
      if (!reading) continue;
      const std::size_t slash = token.find('/');
      if (slash == std::string_view::npos) {
        reading = readNumbers(slot, token) && readNumbers(slot, token);
      } else {
        reading =
            readNumbers(slot, token.substr(0, slash)) && readNumbers(slot, token.substr(slash + 1));
      }
    }
    // A corner whose texture-coordinate number could not be read (such as "1//3", or a face
    // whose reading stopped right behind a position) takes its position number, as a corner
    // written without texture coordinate does. So both lists stay the same length and every
    // corner of the document has both indices.
    if (face_.numbers % 2 == 1) slot.texCoordNumbers.push_back(slot.positionNumbers.back());

    slot.faceSizes.push_back(tokens > std::numeric_limits<std::int32_t>::max()
                                 ? std::numeric_limits<std::int32_t>::max()
                                 : static_cast<std::int32_t>(tokens));
    if (mode_ >= 1) addFaceNormal(slot, tokens);
  }

  // Reads the integers of one text; false once one cannot be read.
  bool readNumbers(GroupSlot& slot, std::string_view text) {
    const char* p = text.data();
    const char* end = p + text.size();
    for (;;) {
      while (p != end && isStreamSpace(*p)) ++p;
      if (p == end) return true;
      std::int32_t number = 0;
      const common::ScanResult scan = common::scanInt(p, end, number);
      if (!scan.ok) return false;
      p = scan.next;
      if (face_.numbers % 2 == 0) {
        const std::size_t corner = face_.numbers / 2;
        if (corner < 4) face_.positions[corner] = number;
        slot.positionNumbers.push_back(number);
      } else {
        slot.texCoordNumbers.push_back(number);
      }
      ++face_.numbers;
    }
  }

  // The vertex record a position number names, or null when no such record has been read yet.
  VertexRecord* vertexFor(std::int32_t number) {
    const std::int64_t index = std::int64_t{number} - 1;
    if (index < 0 || static_cast<std::uint64_t>(index) >= mesh_.vertices.size()) return nullptr;
    return &mesh_.vertices[static_cast<std::size_t>(index)];
  }

  // The normal from the first three corners; the zero normal when the face has fewer recorded
  // corners or one of them names no vertex record read so far.
  void addFaceNormal(GroupSlot& slot, std::size_t tokens) {
    const std::size_t recorded = (face_.numbers + 1) / 2;
    VertexRecord* v[4] = {nullptr, nullptr, nullptr, nullptr};
    for (std::size_t i = 0; i < 4 && i < recorded; ++i) v[i] = vertexFor(face_.positions[i]);
    const bool valid = v[0] && v[1] && v[2];
    const Normal n = valid ? faceNormal(*v[0], *v[1], *v[2]) : Normal{};
    if (mode_ == 1) {
      const Normal unit = valid ? scaledToUnitLength(n) : Normal{};
      const auto repeats = recorded > std::numeric_limits<std::int32_t>::max()
                               ? std::numeric_limits<std::int32_t>::max()
                               : static_cast<std::int32_t>(recorded);
      slot.faceNormals.push_back({unit.x, unit.y, unit.z, repeats});
      return;
    }
    if (!valid) return;
    // A quadrilateral gives its normal to all four corners, other faces to their first three.
    const std::size_t receivers = tokens == 4 ? 4 : 3;
    for (std::size_t i = 0; i < receivers; ++i) {
      if (!v[i]) continue;
      v[i]->nx += n.x;
      v[i]->ny += n.y;
      v[i]->nz += n.z;
    }
  }

  struct Face {
    std::size_t numbers = 0;  // integers read so far
    std::int32_t positions[4] = {0, 0, 0, 0};
  };

  ExportMesh& mesh_;
  const std::int32_t mode_;
  const std::size_t groupNameOffset_;
  std::size_t current_ = 0;
  Face face_;
};

}  // namespace

ExportMesh readExportMeshFromMemory(std::string_view text, std::int32_t mode,
                                    std::size_t groupNameOffset) {
  ExportMesh mesh;
  mesh.text_ = text;
  MeshReader(mesh, mode, groupNameOffset).read(text);
  return mesh;
}

std::optional<ExportMesh> readExportMesh(const char* path, std::int32_t mode,
                                         std::size_t groupNameOffset) {
  std::optional<common::FileBuffer> bytes = common::readWholeFile(path);
  if (!bytes) return std::nullopt;
  ExportMesh mesh = readExportMeshFromMemory(bytes->view(), mode, groupNameOffset);
  // The views into the bytes stay valid: the buffer moves, its allocation does not.
  mesh.storage_ = std::move(*bytes);
  return mesh;
}

}  // namespace mevrix::collada
