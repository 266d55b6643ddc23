#pragma once
// The course of one COLLADA export, common to both writers: assign the metadata, read the whole
// OBJ file, and only then create the document and write it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "collada/document_blocks.h"
#include "collada/export_mesh.h"
#include "collada/export_metadata.h"

namespace mevrix::collada {

enum class ExportResult : int {
  ok = 0,
  inputUnreadable = -1,  // the OBJ file cannot be opened or read into memory
  outputFailed = -2,     // the document cannot be created, or not every byte reached it
};

enum class BaseNameRule {
  keepSingleWord,  // a stem of one word stays as it is, spaces around it included
  alwaysJoin,      // every word is followed by "_", also a single one
};

// The base of a document's ids from its file stem: the words between runs of spaces, each
// followed by "_", or under keepSingleWord a one-word stem unchanged. No words: empty.
std::string baseNameFor(std::string_view stem, BaseNameRule rule);

// What distinguishes one writer from the other.
struct WriterStyle {
  BaseNameRule baseNameRule;
  std::string_view copyright;
  std::size_t groupNameOffset;
  MaterialPlan (*planMaterials)(const ExportMesh& mesh, std::string_view baseName);
};

// Assigns baseName, author, copyright and comments (even when the export then fails), reads the
// OBJ file at `objPath` with the normal `mode`, then writes the document to `documentPath`,
// creating or emptying it. The input is read completely before the output is opened, so both may
// name the same file.
ExportResult exportDocument(ExportMetadata& metadata, const char* objPath, const char* documentPath,
                            std::int32_t mode, const WriterStyle& style);

}  // namespace mevrix::collada
