#pragma once
// Documents written in memory from OBJ text, and the golden documents they are compared with.

#include <string>
#include <string_view>

#include "collada/document.h"
#include "collada/document_variants.h"
#include "collada/export_mesh.h"
#include "common/output_sink.h"
#include "support/line_ends.h"
#include "support/memory_input.h"
#include "support/temp_dir.h"

namespace mevrix::collada::test {

// The metadata a writer call leaves, with a date and texture name set.
inline ExportMetadata metadataFor(std::string baseName, std::string copyright) {
  ExportMetadata metadata;
  metadata.baseName = std::move(baseName);
  metadata.textureName = "skin";
  metadata.author = "author";
  metadata.copyright = std::move(copyright);
  metadata.comments = "comments here";
  metadata.date = "2026-12-07T00:00:00Z";
  return metadata;
}

// The document as a writer writes it from `obj`, read in windows of `window` bytes.
inline std::string documentFor(std::string_view obj, std::int32_t mode,
                               const ExportMetadata& metadata, bool triangles,
                               std::size_t window = common::ChunkedInput::kDefaultWindow) {
  mevrix::test::MemoryInput memory(obj, window, window);
  const ExportMesh mesh = readExportMesh(memory.input, mode, triangles ? 2 : 7);
  const MaterialPlan plan = triangles ? triangleMaterials(mesh, metadata.baseName)
                                      : polylistMaterials(mesh, metadata.baseName);
  common::OutputSink sink;
  putDocument(sink, metadata, mesh, plan, memory.input);
  return std::string(sink.contents());
}

// The polygon-list document with base name "head", as writeCollada writes it to "head.dae".
inline std::string polylistDocument(std::string_view obj, std::int32_t mode) {
  return documentFor(obj, mode, metadataFor("head", "copyright 2010"), false);
}

// The triangles document with base name "tri_", as writeColladaTris writes it to "tri.dae".
inline std::string trianglesDocument(std::string_view obj, std::int32_t mode) {
  return documentFor(obj, mode, metadataFor("tri_", "copyright 2015"), true);
}

// A golden document (stored with "\n" line ends), with this platform's line ends.
inline std::string golden(std::string_view name) {
  return mevrix::test::withPlatformLineEnds(mevrix::test::readFile(
      std::string(MEVRIX_TEST_DATA_DIR) + "/collada/golden/" + std::string(name)));
}

// `document` with the lines inside its <mesh> element replaced by `meshLines` (given with "\n"
// line ends).
inline std::string withMeshLines(std::string document, std::string_view meshLines) {
  const std::string open = mevrix::test::withPlatformLineEnds("      <mesh>\n");
  const std::string close = mevrix::test::withPlatformLineEnds("      </mesh>\n");
  const std::size_t begin = document.find(open) + open.size();
  const std::size_t end = document.find(close);
  return document.replace(begin, end - begin, mevrix::test::withPlatformLineEnds(meshLines));
}

}  // namespace mevrix::collada::test
