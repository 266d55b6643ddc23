#pragma once
// The COLLADA document with one triangles element, material and effect per OBJ group.

#include <cstdint>
#include <string_view>

#include "collada/document_export.h"
#include "collada/materials.h"

namespace mevrix::collada {

// One material per group, in group index order, each bound to a symbol of its own name; each
// group's triangles element names its own material.
MaterialPlan triangleMaterials(const ExportMesh& mesh, std::string_view baseName);

// Converts the OBJ file at `objPath` into a document at `documentPath` with normal `mode`;
// group names are read from a group line's third character on. Faces are written as they
// stand (the caller passes triangles). Copyright "copyright 2015".
ExportResult writeTrianglesCollada(ExportMetadata& metadata, const char* objPath,
                                   const char* documentPath, std::int32_t mode);

}  // namespace mevrix::collada
