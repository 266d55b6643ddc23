// The COLLADA writers from OBJ text to the finished document, in memory: both writers with their
// group-name offsets (7 for the polygon lists, 2 for the triangles) and every normal mode, chosen
// by the first byte's low bits; its high bits pick how the text is read in windows, which must not
// change the document. Checks that the mesh's lists agree, that no inserted text breaks the markup
// (tags nest, every "&" starts an entity), that each group's corner list holds as many numbers as
// its corners need, and that every normal is a finite number.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "collada/document.h"
#include "collada/document_export.h"
#include "collada/document_variants.h"
#include "collada/export_mesh.h"
#include "common/number_scan.h"
#include "common/output_sink.h"
#include "fuzz_support.h"

namespace {

using mevrix::fuzz::check;
using mevrix::fuzz::words;

using namespace mevrix::collada;

void checkMesh(const ExportMesh& mesh, std::int32_t mode, std::size_t textSize) {
  check(mesh.mode == mode);
  check(mesh.slots.size() == std::max<std::size_t>(1, mesh.groups.size()));
  for (const auto& [name, index] : mesh.groups) {
    check(index >= 0 && static_cast<std::size_t>(index) < mesh.slots.size());
  }
  mesh.slots.forEach([&](const GroupSlot& slot) {
    std::size_t faces = 0;
    slot.corners.forEachFaceSize([&](std::int32_t) { ++faces; });
    check(faces == slot.faceCount());
    std::size_t corners = 0;
    slot.corners.forEachCorner([&](std::int32_t, std::int32_t) { ++corners; });
    check(corners == slot.corners.cornerCount());
    check(slot.faceNormals.size() == (mode == 1 ? slot.faceCount() : 0));
  });
  check(mesh.vertexNormals.size() == (mode >= 2 ? mesh.positionCount : 0));
  check(mesh.positionLines.begin <= mesh.positionLines.end);
  check(mesh.positionLines.end <= textSize);
  check(mesh.texCoordLines.begin <= mesh.texCoordLines.end);
  check(mesh.texCoordLines.end <= textSize);
}

// Markup only: every tag closes the tag opened last, no "<" or ">" stands in text or inside a
// tag, every "&" starts one of the five entities, and the root element closes at the end.
void checkMarkup(std::string_view document) {
  std::vector<std::string_view> open;
  std::size_t p = 0;
  while (p < document.size()) {
    const char c = document[p];
    if (c == '&') {
      const std::string_view rest = document.substr(p + 1);
      check(rest.starts_with("amp;") || rest.starts_with("lt;") || rest.starts_with("gt;") ||
            rest.starts_with("quot;") || rest.starts_with("apos;"));
      ++p;
      continue;
    }
    check(c != '>');
    if (c != '<') {
      ++p;
      continue;
    }
    const std::size_t close = document.find('>', p);
    check(close != std::string_view::npos);
    const std::string_view tag = document.substr(p + 1, close - p - 1);
    check(tag.find('<') == std::string_view::npos);
    check(std::count(tag.begin(), tag.end(), '"') % 2 == 0);
    p = close + 1;
    if (tag.starts_with('?')) continue;
    if (tag.starts_with('/')) {
      check(!open.empty() && open.back() == tag.substr(1));
      open.pop_back();
      continue;
    }
    if (tag.ends_with('/')) continue;
    open.push_back(tag.substr(0, tag.find_first_of(" \t")));
  }
  check(open.empty());
}

// The text between `begin` and `end` from `from` on; `from` moves behind `end`.
std::string_view between(std::string_view document, std::string_view begin, std::string_view end,
                         std::size_t& from) {
  const std::size_t first = document.find(begin, from);
  check(first != std::string_view::npos);
  const std::size_t start = first + begin.size();
  const std::size_t stop = document.find(end, start);
  check(stop != std::string_view::npos);
  from = stop + end.size();
  return document.substr(start, stop - start);
}

void checkNormals(std::string_view document, std::size_t corners) {
  std::size_t from = 0;
  between(document, "-normals-array\" count=\"", "\">", from);
  const std::vector<std::string_view> values = words(between(document, "", "</float_array>", from));
  check(values.size() == 3 * corners);
  for (std::string_view value : values) {
    float number = 0;
    const auto scanned =
        mevrix::common::scanFloat(value.data(), value.data() + value.size(), number);
    check(scanned.ok && scanned.next == value.data() + value.size() && std::isfinite(number));
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::uint8_t choice = input.byte();
  const std::int32_t mode = choice & 3;
  const bool triangles = (choice & 4) != 0;
  const std::string_view obj = input.rest();

  mevrix::fuzz::ChunkedBytes bytes(obj, static_cast<std::uint8_t>(choice >> 3));
  const ExportMesh mesh = readExportMesh(bytes.input(), mode, triangles ? 2 : 7);
  checkMesh(mesh, mode, obj.size());

  // The texts a document carries besides the mesh come from the input's first line, so that they
  // are fuzzed too.
  const std::string_view firstLine = obj.substr(0, obj.find('\n'));
  ExportMetadata metadata;
  metadata.baseName =
      baseNameFor(firstLine, triangles ? BaseNameRule::alwaysJoin : BaseNameRule::keepSingleWord);
  metadata.textureName = firstLine;
  metadata.date = firstLine;
  metadata.author = "author";
  metadata.copyright = "copyright";
  metadata.comments = "comments here";
  const MaterialPlan plan = triangles ? triangleMaterials(mesh, metadata.baseName)
                                      : polylistMaterials(mesh, metadata.baseName);

  // Each group's corners, in the order the document lists the groups.
  std::vector<const GroupSlot*> slots;
  std::size_t corners = 0;
  for (const auto& [name, index] : mesh.groups) {
    slots.push_back(&mesh.slots[static_cast<std::size_t>(index)]);
    corners += slots.back()->corners.cornerCount();
  }

  mevrix::common::OutputSink sink;
  putDocument(sink, metadata, mesh, plan, bytes.input());
  const std::string_view document = sink.contents();

  // How the text was read in windows must not show in the document.
  if ((choice >> 3) != 0) {
    mevrix::fuzz::ChunkedBytes whole(obj, 0);
    const ExportMesh wholeMesh = readExportMesh(whole.input(), mode, triangles ? 2 : 7);
    mevrix::common::OutputSink wholeSink;
    putDocument(wholeSink, metadata, wholeMesh, plan, whole.input());
    check(wholeSink.contents() == document);
  }

  checkMarkup(document);
  if (mode >= 1) checkNormals(document, corners);
  const std::size_t numbersPerCorner = mode >= 1 ? 3 : 2;
  std::size_t from = document.find("<library_geometries>");
  for (const GroupSlot* slot : slots) {
    if (!triangles) {
      check(words(between(document, "<vcount>", "</vcount>", from)).size() == slot->faceCount());
    }
    const std::vector<std::string_view> numbers = words(between(document, "<p>", "</p>", from));
    check(numbers.size() == numbersPerCorner * slot->corners.cornerCount());
  }
  check(document.find("<p>", from) == std::string_view::npos);
  return 0;
}
