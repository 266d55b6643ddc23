#include "collada/document_blocks.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "common/number_format.h"
#include "common/xml_text.h"

namespace mevrix::collada {
namespace {

using common::OutputSink;

// A text inserted into a line: escaped on the way out.
struct Inserted {
  std::string_view text;
};

void putPiece(OutputSink& sink, std::string_view fixed) {
  sink.put(fixed);
}
void putPiece(OutputSink& sink, Inserted inserted) {
  common::putXmlEscaped(sink, inserted.text);
}
void putPiece(OutputSink& sink, std::int64_t number) {
  sink.putInt(number);
}
void putPiece(OutputSink& sink, std::size_t number) {
  sink.putInt(static_cast<std::int64_t>(number));
}

// One line: its pieces one after the other, then the line end.
template <typename... Pieces>
void putLine(OutputSink& sink, const Pieces&... pieces) {
  (putPiece(sink, pieces), ...);
  sink.putLineEnd();
}

void putLines(OutputSink& sink, std::span<const std::string_view> lines) {
  for (std::string_view line : lines) sink.putLine(line);
}

// Every effect's lines behind its opening line; only the effect's id differs between effects.
constexpr std::string_view kEffectBody[] = {
    "      <profile_COMMON>",
    "        <newparam sid=\"QelvarTexture-surface\">",
    "          <surface type=\"2D\">",
    "            <init_from>QelvarTexture</init_from>",
    "          </surface>",
    "        </newparam>",
    "        <newparam sid=\"QelvarTexture-sampler\">",
    "          <sampler2D>",
    "            <source>QelvarTexture-surface</source>",
    "          </sampler2D>",
    "        </newparam>",
    "        <technique sid=\"common\">",
    "          <blinn>",
    "            <emission>",
    "              <color>0 0 0 1</color>",
    "            </emission>",
    "            <ambient>",
    "              <color>0 0 0 1</color>",
    "            </ambient>",
    "            <diffuse>",
    "              <texture texture=\"QelvarTexture-sampler\" texcoord=\"TEX0\">",
    "                <extra>",
    "                  <technique profile=\"QelvarCOLLADA\">",
    "                    <blend_mode>NONE</blend_mode>",
    "                    <coverageU>1</coverageU>",
    "                    <coverageV>1</coverageV>",
    "                    <fast>0</fast>",
    "                    <mirrorU>0</mirrorU>",
    "                    <mirrorV>0</mirrorV>",
    "                    <noiseU>0</noiseU>",
    "                    <noiseV>0</noiseV>",
    "                    <offsetU>0</offsetU>",
    "                    <offsetV>0</offsetV>",
    "                    <repeatU>1</repeatU>",
    "                    <repeatV>1</repeatV>",
    "                    <rotateFrame>0</rotateFrame>",
    "                    <rotateUV>0</rotateUV>",
    "                    <stagger>0</stagger>",
    "                    <translateFrameU>0</translateFrameU>",
    "                    <translateFrameV>0</translateFrameV>",
    "                    <wrapU>1</wrapU>",
    "                    <wrapV>1</wrapV>",
    "                  </technique>",
    "                </extra>",
    "              </texture>",
    "            </diffuse>",
    "            <specular>",
    "              <color>0.5 0.5 0.5 1</color>",
    "            </specular>",
    "            <shininess>",
    "              <float>0.3</float>",
    "            </shininess>",
    "            <reflective>",
    "              <color>0 0 0 1</color>",
    "            </reflective>",
    "            <reflectivity>",
    "              <float>0.5</float>",
    "            </reflectivity>",
    "            <transparent opaque=\"RGB_ZERO\">",
    "              <color>0 0 0 1</color>",
    "            </transparent>",
    "            <transparency>",
    "              <float>1</float>",
    "            </transparency>",
    "          </blinn>",
    "        </technique>",
    "      </profile_COMMON>",
    "    </effect>",
};

constexpr std::string_view kImageTail[] = {
    "      <extra>",
    "        <technique profile=\"QelvarCOLLADA\">",
    "          <dgnode_type>kFile</dgnode_type>",
    "          <image_sequence>0</image_sequence>          ",
    "        </technique>",
    "      </extra>",
    "    </image>",
    "  </library_images>",
};

constexpr std::string_view kGeometryTail[] = {
    "      </mesh>",
    "      <extra>",
    "        <technique profile=\"QelvarCOLLADA\">          ",
    "          <double_sided>1</double_sided>",
    "        </technique>",
    "      </extra>",
    "    </geometry>",
    "  </library_geometries>",
};

constexpr std::string_view kNodeTransform[] = {
    "        <translate sid=\"translate\">0 0 0</translate>",
    "        <rotate sid=\"rotateZ\">0 0 1 0</rotate>",
    "        <rotate sid=\"rotateY\">0 1 0 0</rotate>",
    "        <rotate sid=\"rotateX\">1 0 0 0</rotate>",
    "        <scale sid=\"scale\">1 1 1</scale>",
};

constexpr std::string_view kVisualSceneTail[] = {
    "            </technique_common>",
    "          </bind_material>",
    "        </instance_geometry>        ",
    "      </node>",
    "    </visual_scene>",
    "  </library_visual_scenes>",
};

constexpr std::string_view kSceneAndEnd[] = {
    "  <scene>",  "    <instance_visual_scene url=\"#VisualSceneNode\"/>",
    "  </scene>", "</COLLADA>",
    "",           "",
};

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
        slots_(std::min(kMaxSlots, std::bit_ceil(std::max<std::size_t>(1, count_)))),
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

// A normal's text: three components of at most 12 characters ("-1.17549e-38") and their spaces.
static_assert(3 * 13 <= NormalTexts::kCopySize);

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

constexpr std::string_view kXyzAccessorTail[] = {
    "              <param name=\"X\" type=\"float\"/>",
    "              <param name=\"Y\" type=\"float\"/>",
    "              <param name=\"Z\" type=\"float\"/>",
    "            </accessor>",
    "          </technique_common>",
};

constexpr std::string_view kStAccessorTail[] = {
    "              <param name=\"S\" type=\"float\"/>",
    "              <param name=\"T\" type=\"float\"/>",
    "            </accessor>",
    "          </technique_common>",
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

// Calls `visit(slot)` for every group's slot in the group map's order, the order of the
// document's elements.
template <typename Visit>
void forEachGroupInMapOrder(const ExportMesh& mesh, Visit&& visit) {
  for (const auto& [name, index] : mesh.groups) visit(mesh.slots[static_cast<std::size_t>(index)]);
}

// Normal values, three per corner, in the order the corners are written: mode 1 repeats each
// face's normal for the face's corners, modes 2 and up give each corner its vertex's normal.
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

MaterialPlan MaterialPlan::shared(std::string_view baseName) {
  return MaterialPlan(PrimitiveKind::polylist, std::string(baseName) + "_blinn", 1);
}

MaterialPlan MaterialPlan::perGroup(std::size_t groups) {
  return MaterialPlan(PrimitiveKind::triangles, {}, groups);
}

std::string MaterialPlan::materialId(std::size_t i) const {
  return primitive_ == PrimitiveKind::polylist ? material_ : triangleMaterialName(i + 1);
}

std::string MaterialPlan::bindingSymbol(std::size_t i) const {
  return primitive_ == PrimitiveKind::polylist ? material_ + "SG" : triangleMaterialName(i + 1);
}

std::string MaterialPlan::groupSymbol(std::size_t ordinal, std::int32_t index) const {
  if (primitive_ == PrimitiveKind::polylist) {
    std::string symbol = std::to_string(ordinal + 1);
    symbol += '_';
    symbol += material_;
    symbol += "SG";
    return symbol;
  }
  return triangleMaterialName(static_cast<std::size_t>(index) + 1);
}

std::string triangleMaterialName(std::size_t number) {
  std::string name = "material_";
  // The last three digits of 1000 + number, or from 1001 on the whole number.
  name += number > 1000 ? std::to_string(number) : std::to_string(1000 + number).substr(1);
  return name;
}

void putHead(OutputSink& sink) {
  sink.putLine("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  putLine(sink, "<COLLADA xmlns=\"", kColladaNamespace, "\" version=\"1.4.1\">");
}

void putAsset(OutputSink& sink, const ExportMetadata& metadata) {
  const Inserted date{metadata.date};
  sink.putLine("  <asset>");
  sink.putLine("    <contributor>");
  putLine(sink, "      <author>", Inserted{metadata.author}, "</author>");
  sink.putLine("      <authoring_tool>Qelvar Collada Exporter</authoring_tool>");
  putLine(sink, "      <comments>", Inserted{metadata.comments}, "</comments> ");
  putLine(sink, "\t\t\t<copyright>", Inserted{metadata.copyright}, "</copyright>");
  sink.putLine("\t\t\t<source_data></source_data>     ");
  sink.putLine("    </contributor>");
  putLine(sink, "    <created>", date, "</created>");
  putLine(sink, "    <modified>", date, "</modified>");
  sink.putLine("    <unit name=\"half-meter\" meter=\"0.5\"/>");
  sink.putLine("    <up_axis>Y_UP</up_axis>");
  sink.putLine("  </asset>");
}

void putMaterialLibrary(OutputSink& sink, const MaterialPlan& plan) {
  sink.putLine("  <library_materials>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    const std::string material = plan.materialId(i);
    const Inserted id{material};
    putLine(sink, "    <material id=\"", id, "\" name=\"", id, "\">");
    putLine(sink, "      <instance_effect url=\"#", id, "-fx\"/>");
    sink.putLine("    </material>");
  }
  sink.putLine("  </library_materials>");
}

void putEffectLibrary(OutputSink& sink, const MaterialPlan& plan) {
  sink.putLine("  <library_effects>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    putLine(sink, "    <effect id=\"", Inserted{plan.materialId(i)}, "-fx\">");
    putLines(sink, kEffectBody);
  }
  sink.putLine("  </library_effects>");
}

void putImageLibrary(OutputSink& sink, std::string_view textureName) {
  sink.putLine("  <library_images>");
  sink.putLine("    <image id=\"QelvarTexture\" name=\"QelvarTexture\">");
  putLine(sink, "      <init_from>./", Inserted{textureName}, ".bmp</init_from>");
  putLines(sink, kImageTail);
}

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

void putVisualSceneLibrary(OutputSink& sink, std::string_view baseName, const MaterialPlan& plan) {
  const Inserted base{baseName};
  sink.putLine("  <library_visual_scenes>");
  putLine(sink, "    <visual_scene id=\"VisualSceneNode\" name=\"", base, "\">");
  putLine(sink, "      <node id=\"", base, "\" name=\"", base, "\" type=\"NODE\">");
  putLines(sink, kNodeTransform);
  putLine(sink, "        <instance_geometry url=\"#", base, "\">");
  sink.putLine("          <bind_material>");
  sink.putLine("            <technique_common>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    putLine(sink, "              <instance_material symbol=\"", Inserted{plan.bindingSymbol(i)},
            "\" target=\"#", Inserted{plan.materialId(i)}, "\">");
    sink.putLine(
        "                <bind_vertex_input semantic=\"TEX0\" input_semantic=\"TEXCOORD\" "
        "input_set=\"0\"/>");
    sink.putLine("              </instance_material>");
  }
  putLines(sink, kVisualSceneTail);
}

void putSceneAndEnd(OutputSink& sink) {
  putLines(sink, kSceneAndEnd);
}

void putDocument(OutputSink& sink, const ExportMetadata& metadata, const ExportMesh& mesh,
                 const MaterialPlan& plan, common::ChunkedInput& input) {
  putHead(sink);
  putAsset(sink, metadata);
  putMaterialLibrary(sink, plan);
  putEffectLibrary(sink, plan);
  putImageLibrary(sink, metadata.textureName);
  putGeometryLibrary(sink, metadata.baseName, mesh, plan, input);
  putVisualSceneLibrary(sink, metadata.baseName, plan);
  putSceneAndEnd(sink);
}

}  // namespace mevrix::collada
