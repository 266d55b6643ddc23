#include "collada/document_export.h"

#include <optional>

#include "collada/document.h"
#include "common/chunked_input.h"
#include "common/export_output.h"
#include "common/path.h"
#include "common/space_tokens.h"

namespace mevrix::collada {

namespace {

void assignMetadata(ExportMetadata& metadata, const char* documentPath, const WriterStyle& style) {
  metadata.baseName = baseNameFor(common::fileStem(documentPath), style.baseNameRule);
  metadata.author = "author";
  metadata.copyright = style.copyright;
  metadata.comments = "comments here";
}

}  // namespace

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
  std::optional<common::FileSource> source = common::FileSource::open(objPath);
  if (!source) {
    assignMetadata(metadata, documentPath, style);
    return ExportResult::inputUnreadable;
  }
  return exportDocument(metadata, *source, source->identity(), documentPath, mode, style);
}

ExportResult exportDocument(ExportMetadata& metadata, common::ByteSource& source,
                            const std::optional<platform::FileIdentity>& sourceIdentity,
                            const char* documentPath, std::int32_t mode, const WriterStyle& style) {
  assignMetadata(metadata, documentPath, style);
  std::optional<common::ChunkedInput> input;
  std::optional<ExportMesh> mesh;
  std::optional<MaterialPlan> plan;
  if (!common::completes([&] {
        input.emplace(source);
        mesh = readExportMesh(*input, mode, style.groupNameOffset);
        plan = style.planMaterials(*mesh, metadata.baseName);
      })) {
    return ExportResult::inputUnreadable;  // nothing touched yet
  }

  return common::writeExportOutput(
      documentPath, sourceIdentity, &source,
      {ExportResult::ok, ExportResult::outputFailed, ExportResult::outputFailed},
      [&](common::OutputSink& sink) {
        putDocument(sink, metadata, *mesh, *plan, *input);
        return ExportResult::ok;
      });
}

}  // namespace mevrix::collada
