#include "collada/geometry_library.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>
#include <string_view>

#include "collada/document_lines.h"
#include "collada/fixed_texts.h"
#include "collada/normal_texts.h"
#include "common/number_format.h"
#include "common/xml_text.h"

namespace mevrix::collada {
namespace {

using common::OutputSink;

// A count from 0 that goes up by one, kept as decimal text: incrementing the text is cheaper
// than formatting the number anew for every corner.
class DecimalCounter {
 public:
  // The bytes put() writes, more than the count takes.
  static constexpr std::size_t kWriteSize = 20;

  // Writes the count at `p` and returns its end. Copies a fixed kWriteSize bytes (a few moves);
  // what lands behind the count is overwritten by what follows.
  char* put(char* p) const {
    std::memcpy(p, digits_ + first_, kWriteSize);
    return p + (kDigits - first_);
  }

  void increment() {
    std::size_t i = kDigits;
    while (i > first_ && digits_[i - 1] == '9') digits_[--i] = '0';
    if (i == first_) {
      digits_[--first_] = '1';  // 20 digits outlast any count of corners
    } else {
      ++digits_[i - 1];
    }
  }

 private:
  static constexpr std::size_t kDigits = kWriteSize;
  // The count's digits end at kDigits; the second half is room for the fixed-size copy.
  char digits_[2 * kDigits] = {'0', '0', '0', '0', '0', '0', '0', '0', '0', '0',
                               '0', '0', '0', '0', '0', '0', '0', '0', '0', '0'};
  std::size_t first_ = kDigits - 1;
};

// The texts of one kind of line behind their first two characters, read again from the input in
// file order, each followed by a space. Numbers hold no markup characters, so the lines are
// looked at a buffer at a time and escaped one by one only where the buffer holds any. Throws
// common::ReadError unless exactly `count` such lines are found where the mesh found them.
void putLineValues(OutputSink& sink, common::ChunkedInput& input, LineSpan span, ObjLineKind kind,
                   std::size_t count) {
  if (count == 0) return;
  input.rewind(span.begin);
  std::string_view line;
  std::size_t found = 0;
  std::uint64_t lookedUntil = 0;  // the offset up to which the bytes were looked at
  bool plain = false;             // whether those bytes hold no markup characters
  while (found != count) {
    if (!input.nextLine(line) || input.lineOffset() >= span.end) throw common::ReadError();
    if (classifyObjLine(line) != kind) continue;
    const std::string_view value = lineValueText(line);
    const std::uint64_t lineEnd = input.lineOffset() + line.size();
    if (lineEnd > lookedUntil) {
      const std::string_view ahead = input.lookahead();
      lookedUntil = input.lineOffset() + ahead.size();
      plain = !common::needsXmlEscaping(ahead);
    }
    if (!plain && common::needsXmlEscaping(value)) {
      common::putXmlEscaped(sink, value);
      sink.put(' ');
    } else {
      sink.putReadingAhead<common::ChunkedInput::kPadding>(value, " ");
    }
    ++found;
  }
}

// How the three sources of the mesh differ in their lines.
struct SourceLayout {
  std::string_view name;         // behind the base name: "-positions", "-normals", "-map1"
  std::string_view arrayIndent;  // in front of <float_array>
  std::string_view arrayTail;    // behind </float_array>
  int stride;
  std::span<const std::string_view> accessorTail;  // the params and the closing lines
  std::string_view close;                          // the </source> line
};

constexpr SourceLayout kPositionsSource{"-positions",     "        \t          ", "\t", 3,
                                        kXyzAccessorTail, "        </source>  "};
constexpr SourceLayout kNormalsSource{"-normals", "          ",     "",
                                      3,          kXyzAccessorTail, "        </source>     "};
constexpr SourceLayout kTexCoordsSource{"-map1", "          ",    "",
                                        2,       kStAccessorTail, "        </source>"};

// A source of `count` elements; `putValues` writes the array's values.
template <typename PutValues>
void putSource(OutputSink& sink, Inserted base, const SourceLayout& layout, std::int64_t count,
               PutValues putValues) {
  putLine(sink, "        <source id=\"", base, layout.name, "\" name=\"", base, layout.name, "\">");
  putPiece(sink, layout.arrayIndent);
  putPiece(sink, "<float_array id=\"");
  putPiece(sink, base);
  putPiece(sink, layout.name);
  putPiece(sink, "-array\" count=\"");
  putPiece(sink, layout.stride * count);
  putPiece(sink, "\">");
  putValues();
  putLine(sink, "</float_array>", layout.arrayTail);
  sink.putLine("          <technique_common>");
  putLine(sink, "            <accessor source=\"#", base, layout.name, "-array\" count=\"", count,
          "\" stride=\"", std::int64_t{layout.stride}, "\">");
  putLines(sink, layout.accessorTail);
  sink.putLine(layout.close);
}

void putNormalsSource(OutputSink& sink, Inserted base, const ExportMesh& mesh) {
  std::int64_t corners = 0;
  forEachGroupInMapOrder(mesh, [&](const GroupSlot& slot) {
    corners += static_cast<std::int64_t>(slot.corners.cornerCount());
  });
  putSource(sink, base, kNormalsSource, corners, [&] { putNormalValues(sink, mesh); });
}

// Each corner's position index, its normal index when there are normals, and its
// texture-coordinate index, each followed by a space. Normal indices run on from group to group.
void putCorners(OutputSink& sink, const GroupSlot& slot, DecimalCounter* normalIndex) {
  // Behind each number its space; room for three, each formatted or copied.
  constexpr std::size_t kMaxCornerChars = 3 * common::kMaxNumberChars;
  // Mostly one number serves both: its text is written again.
  common::RepeatedInt positionIndex;
  slot.corners.forEachCorner([&](std::int32_t position, std::int32_t texCoordNumber) {
    char* p = positionIndex.format(sink.reserve(kMaxCornerChars), std::int64_t{position} - 1);
    *p++ = ' ';
    if (normalIndex) {
      p = normalIndex->put(p);
      *p++ = ' ';
      normalIndex->increment();
    }
    p = positionIndex.put(p, std::int64_t{texCoordNumber} - 1);
    *p++ = ' ';
    sink.commit(p);
  });
}

void putPrimitive(OutputSink& sink, Inserted base, PrimitiveKind kind, std::string_view symbol,
                  const GroupSlot& slot, DecimalCounter* normalIndex) {
  const bool withNormals = normalIndex != nullptr;
  const std::string_view element = kind == PrimitiveKind::polylist ? "polylist" : "triangles";
  putLine(sink, "        <", element, " material=\"", Inserted{symbol}, "\" count=\"",
          slot.faceCount(), "\">");
  putLine(sink, "          <input semantic=\"VERTEX\" source=\"#", base,
          "-vertices\" offset=\"0\"/>");
  if (withNormals) {
    putLine(sink, "          <input semantic=\"NORMAL\" source=\"#", base,
            "-normals\" offset=\"1\"/>");
    putLine(sink, "          <input semantic=\"TEXCOORD\" source=\"#", base,
            "-map1\" offset=\"2\" set=\"0\"/>");
  } else {
    putLine(sink, "          <input semantic=\"TEXCOORD\" source=\"#", base,
            "-map1\" offset=\"1\" set=\"0\"/>");
  }
  if (kind == PrimitiveKind::polylist) {
    sink.put("          <vcount>");
    slot.corners.forEachFaceSize([&](std::int32_t size) {
      char* p = sink.reserve(common::kMaxNumberChars + 1);
      p = common::formatInt(p, size);
      *p++ = ' ';
      sink.commit(p);
    });
    sink.putLine("</vcount>");
  }
  sink.put("          <p>");
  putCorners(sink, slot, normalIndex);
  sink.putLine("</p>");
  putLine(sink, "        </", element, ">");
}

}  // namespace

void putGeometryLibrary(OutputSink& sink, std::string_view baseName, const ExportMesh& mesh,
                        const MaterialPlan& plan, common::ChunkedInput& input) {
  const Inserted base{baseName};
  const bool withNormals = mesh.mode >= 1;
  sink.putLine("  <library_geometries>");
  putLine(sink, "    <geometry id=\"", base, "\" name=\"", base, "\">");
  sink.putLine("      <mesh>");
  putSource(sink, base, kPositionsSource, static_cast<std::int64_t>(mesh.positionCount), [&] {
    putLineValues(sink, input, mesh.positionLines, ObjLineKind::position, mesh.positionCount);
  });
  if (withNormals) putNormalsSource(sink, base, mesh);
  putSource(sink, base, kTexCoordsSource, static_cast<std::int64_t>(mesh.texCoordCount), [&] {
    putLineValues(sink, input, mesh.texCoordLines, ObjLineKind::texCoord, mesh.texCoordCount);
  });
  putLine(sink, "        <vertices id=\"", base, "-vertices\" name=\"", base, "-vertices\">");
  putLine(sink, "          <input semantic=\"POSITION\" source=\"#", base, "-positions\"/>");
  sink.putLine("        </vertices>");
  DecimalCounter normalIndex;
  std::size_t ordinal = 0;
  for (const auto& [name, index] : mesh.groups) {
    putPrimitive(sink, base, plan.primitive(), plan.groupSymbol(ordinal++, index),
                 mesh.slots[static_cast<std::size_t>(index)], withNormals ? &normalIndex : nullptr);
  }
  putLines(sink, kGeometryTail);
}

}  // namespace mevrix::collada
