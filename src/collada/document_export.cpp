#include "collada/document_export.h"

#include <new>
#include <optional>

#include "common/output_sink.h"
#include "common/path.h"
#include "common/space_tokens.h"

namespace mevrix::collada {

std::string baseNameFor(std::string_view stem, BaseNameRule rule) {
  std::string joined;
  std::size_t words = 0;
  std::size_t pos = 0;
  std::string_view word;
  while (common::nextSpaceToken(stem, pos, word)) {
    joined.append(word).push_back('_');
    ++words;
  }
  if (words == 1 && rule == BaseNameRule::keepSingleWord) return std::string(stem);
  return joined;
}

ExportResult exportDocument(ExportMetadata& metadata, const char* objPath, const char* documentPath,
                            std::int32_t mode, const WriterStyle& style) {
  metadata.baseName = baseNameFor(common::fileStem(documentPath), style.baseNameRule);
  metadata.author = "author";
  metadata.copyright = style.copyright;
  metadata.comments = "comments here";

  std::optional<ExportMesh> mesh;
  try {
    mesh = readExportMesh(objPath, mode, style.groupNameOffset);
  } catch (const std::bad_alloc&) {
    mesh.reset();  // too large to hold: reported like an unreadable file, before any output
  }
  if (!mesh) return ExportResult::inputUnreadable;
  const MaterialPlan plan = style.planMaterials(*mesh, metadata.baseName);

  std::optional<common::OutputFile> file =
      common::OutputFile::open(documentPath, platform::WriteMode::truncate);
  if (!file) return ExportResult::outputFailed;
  common::OutputSink sink(*file);
  putDocument(sink, metadata, *mesh, mode, plan);
  const bool finished = sink.finish();
  const bool closed = file->close();
  return finished && closed ? ExportResult::ok : ExportResult::outputFailed;
}

}  // namespace mevrix::collada
