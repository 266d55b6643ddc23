#pragma once
// The two COLLADA documents, side by side: one polygon list per OBJ group (writeCollada) and one
// triangles element per group (writeColladaTris). The same blocks write both in the same order;
// what tells them apart is only what this table holds.
//
//                    polygon lists                         triangles
//   ids' base name   a one-word file stem stays as it is   every word followed by "_"
//   copyright        "copyright 2010"                      "copyright 2015"
//   group names      from a group line's 8th character on  from its 3rd on
//   materials        one, "<base>_blinn", for all groups    one a group, "material_001", ...
//   elements         <polylist>, with <vcount>             <triangles>, faces as they stand

#include <cstdint>
#include <string_view>

#include "collada/document_export.h"
#include "collada/export_mesh.h"
#include "collada/export_metadata.h"
#include "collada/materials.h"

namespace mevrix::collada {

// One material "<baseName>_blinn", bound to the symbol "<baseName>_blinnSG"; the polygon list of
// the k-th group in the group map's order names the symbol "<k>_<baseName>_blinnSG".
MaterialPlan polylistMaterials(const ExportMesh& mesh, std::string_view baseName);
// One material per group, in group index order, each bound to a symbol of its own name; each
// group's triangles element names its own material.
MaterialPlan triangleMaterials(const ExportMesh& mesh, std::string_view baseName);

// The two styles, as the table above lays them out.
inline constexpr WriterStyle kPolylistStyle{.baseNameRule = BaseNameRule::keepSingleWord,
                                            .copyright = "copyright 2010",
                                            .groupNameOffset = 7,
                                            .planMaterials = polylistMaterials};
inline constexpr WriterStyle kTrianglesStyle{.baseNameRule = BaseNameRule::alwaysJoin,
                                             .copyright = "copyright 2015",
                                             .groupNameOffset = 2,
                                             .planMaterials = triangleMaterials};

// Convert the OBJ file at `objPath` into a document of one style at `documentPath` with normal
// `mode`. The triangles document writes faces as they stand: its caller passes triangles.
ExportResult writePolylistCollada(ExportMetadata& metadata, const char* objPath,
                                  const char* documentPath, std::int32_t mode);
ExportResult writeTrianglesCollada(ExportMetadata& metadata, const char* objPath,
                                   const char* documentPath, std::int32_t mode);

}  // namespace mevrix::collada
