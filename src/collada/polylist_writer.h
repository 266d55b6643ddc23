#pragma once
// The COLLADA document with one polygon list per OBJ group and one material for all of them.

#include <cstdint>
#include <string_view>

#include "collada/document_export.h"
#include "collada/materials.h"

namespace mevrix::collada {

// One material "<baseName>_blinn", bound to the symbol "<baseName>_blinnSG"; the polygon list of
// the k-th group in the group map's order names the symbol "<k>_<baseName>_blinnSG".
MaterialPlan polylistMaterials(const ExportMesh& mesh, std::string_view baseName);

// Converts the OBJ file at `objPath` into a document at `documentPath` with normal `mode`;
// group names are read from a group line's eighth character on. Copyright "copyright 2010".
ExportResult writePolylistCollada(ExportMetadata& metadata, const char* objPath,
                                  const char* documentPath, std::int32_t mode);

}  // namespace mevrix::collada
