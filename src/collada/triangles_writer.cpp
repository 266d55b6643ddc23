#include "collada/triangles_writer.h"

namespace mevrix::collada {

MaterialPlan triangleMaterials(const ExportMesh& mesh, std::string_view) {
  return MaterialPlan::perGroup(mesh.groups.size());
}

ExportResult writeTrianglesCollada(ExportMetadata& metadata, const char* objPath,
                                   const char* documentPath, std::int32_t mode) {
  static constexpr WriterStyle kStyle{BaseNameRule::alwaysJoin, "copyright 2015", 2,
                                      triangleMaterials};
  return exportDocument(metadata, objPath, documentPath, mode, kStyle);
}

}  // namespace mevrix::collada
