#include "collada/normal_texts.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <memory>

#include "common/block_vector.h"
#include "common/number_format.h"
#include "common/split_size.h"

namespace mevrix::collada {
namespace {

using common::OutputSink;

// Room for one normal as text: three components of at most kMaxNumberChars and a space each.
constexpr std::size_t kMaxNormalChars = 3 * (common::kMaxNumberChars + 1);

// One normal component and its space. A component that is not a finite number (the unit normal
// of a face without area) is written as 0 so that importers can read the array.
char* putComponent(char* p, float value) {
  if (std::isfinite(value)) {
    p = common::formatFloatG6(p, value);
  } else {
    *p++ = '0';
  }
  *p++ = ' ';
  return p;
}

char* putNormal(char* p, float x, float y, float z) {
  return putComponent(putComponent(putComponent(p, x), y), z);
}

char* putNormal(char* p, const Vector3& n) {
  return putNormal(p, n.x, n.y, n.z);
}

// The texts of the vertex normals, each formatted when a corner names its vertex and kept in a
// table of the recently named ones, where a later corner that names the same vertex copies it.
// Neighbouring faces name the same vertices within a short stretch of corners (a grid's within
// two rows), so each normal is formatted about once, while the table stays the same small size
// however large the mesh: a vertex's slot is its index modulo the table's size.
class NormalTexts {
 public:
  // Longer than any text; copies always move this many bytes.
  static constexpr std::size_t kCopySize = 48;

  explicit NormalTexts(const common::BlockVector<Vector3>& normals)
      : normals_(normals),
        count_(normals.size()),
        slots_(std::min(std::bit_floor(common::splitSize(kMaxSlots)),
                        std::bit_ceil(std::max<std::size_t>(1, count_)))),
        texts_(std::make_unique_for_overwrite<char[]>(slots_ * kSlotSize)),
        vertices_(std::make_unique_for_overwrite<std::size_t[]>(slots_)),
        sizes_(std::make_unique_for_overwrite<std::uint8_t[]>(slots_)) {
    std::fill_n(vertices_.get(), slots_, kNoVertex);
  }

  // Copies the text of the vertex that a position number (1-based) names to `out`, which has
  // room for kCopySize bytes, and returns the text's end; null for a number that names none.
  char* put(char* out, std::int32_t number) {
    const std::int64_t index = std::int64_t{number} - 1;
    if (index < 0 || static_cast<std::uint64_t>(index) >= count_) return nullptr;
    const auto vertex = static_cast<std::size_t>(index);
    const std::size_t slot = vertex & (slots_ - 1);
    char* const text = texts_.get() + slot * kSlotSize;
    if (vertices_[slot] != vertex) {
      vertices_[slot] = vertex;
      sizes_[slot] = static_cast<std::uint8_t>(putNormal(text, normals_[vertex]) - text);
    }
    // A copy of fixed size compiles to a few moves; what it copies beyond the text is
    // overwritten by what follows.
    std::memcpy(out, text, kCopySize);
    return out + sizes_[slot];
  }

 private:
  static constexpr std::size_t kMaxSlots = std::size_t{1} << 16;
  // Formatting a component may touch kMaxNumberChars bytes from where it begins; the third
  // begins at most 26 bytes in, behind two of at most 12 characters and their spaces.
  static constexpr std::size_t kSlotSize = 64;
  static_assert(2 * 13 + common::kMaxNumberChars <= kSlotSize && kCopySize <= kSlotSize);
  static constexpr std::size_t kNoVertex = static_cast<std::size_t>(-1);

  const common::BlockVector<Vector3>& normals_;
  std::size_t count_;                        // of the normals, checked for every corner
  std::size_t slots_;                        // a power of two
  std::unique_ptr<char[]> texts_;            // kSlotSize bytes a slot
  std::unique_ptr<std::size_t[]> vertices_;  // whose text each slot holds
  std::unique_ptr<std::uint8_t[]> sizes_;    // and how long it is
};

// A normal's text: three components of at most 12 characters ("-1.17549e-38") and their spaces.
static_assert(3 * 13 <= NormalTexts::kCopySize);

}  // namespace

void putNormalValues(OutputSink& sink, const ExportMesh& mesh) {
  if (mesh.mode == 1) {
    // The text of the face before is kept: the faces of a flat region share their normal.
    static_assert(NormalTexts::kCopySize <= kMaxNormalChars);
    char text[kMaxNormalChars] = {};
    auto size = static_cast<std::size_t>(putNormal(text, Vector3{}) - text);
    Vector3 formatted{};
    forEachGroupInMapOrder(mesh, [&](const GroupSlot& slot) {
      slot.faceNormals.forEach([&](const FaceNormal& face) {
        if (std::memcmp(&face.normal, &formatted, sizeof formatted) != 0) {
          formatted = face.normal;
          size = static_cast<std::size_t>(putNormal(text, formatted) - text);
        }
        for (std::int32_t i = 0; i < face.corners; ++i) {
          char* const out = sink.reserve(NormalTexts::kCopySize);
          std::memcpy(out, text, NormalTexts::kCopySize);
          sink.commit(out + size);
        }
      });
    });
    return;
  }
  NormalTexts texts(mesh.vertexNormals);
  forEachGroupInMapOrder(mesh, [&](const GroupSlot& slot) {
    slot.corners.forEachCorner([&](std::int32_t position, std::int32_t) {
      char* const out = sink.reserve(NormalTexts::kCopySize);
      char* const end = texts.put(out, position);
      if (end) {
        sink.commit(end);
      } else {
        sink.put("0 0 0 ");
      }
    });
  });
}

}  // namespace mevrix::collada
