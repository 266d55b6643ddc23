#pragma once
// The course of one COLLADA export, common to both writers: assign the metadata, read the OBJ file
// into the mesh, and only then create the document and write it, reading the file's position and
// texture-coordinate lines again as it goes.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "collada/export_mesh.h"
#include "collada/export_metadata.h"
#include "collada/materials.h"
#include "common/byte_source.h"

namespace mevrix::collada {

// The results of writeCollada and writeColladaTris.
enum class ExportResult : int {
  ok = 0,
  inputUnreadable = -1,  // the OBJ file cannot be opened or read (no document touched)
  outputFailed = -2,     // the document cannot be created, or not every byte reached it (also
                         // when the OBJ file could not be read again while it was written); the
                         // document path keeps what it held
  missingPath = -9,      // a path is null (nothing touched)
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
// OBJ file at `objPath` with the normal `mode`, then writes the document to `documentPath`
// through a new file that takes that name once complete (OutputFile::openReplacing): a failed
// export leaves whatever the path held, the OBJ file itself included when the path names it.
ExportResult exportDocument(ExportMetadata& metadata, const char* objPath, const char* documentPath,
                            std::int32_t mode, const WriterStyle& style);

// The same from an OBJ file already open as `source`, which is closed before a document that
// replaces it takes its name.
ExportResult exportDocument(ExportMetadata& metadata, common::ByteSource& source,
                            const std::optional<platform::FileIdentity>& sourceIdentity,
                            const char* documentPath, std::int32_t mode, const WriterStyle& style);

}  // namespace mevrix::collada
