#include "collada/document_variants.h"

namespace mevrix::collada {

MaterialPlan polylistMaterials(const ExportMesh&, std::string_view baseName) {
  return MaterialPlan::shared(baseName);
}

MaterialPlan triangleMaterials(const ExportMesh& mesh, std::string_view) {
  return MaterialPlan::perGroup(mesh.groups.size());
}

ExportResult writePolylistCollada(ExportMetadata& metadata, const char* objPath,
                                  const char* documentPath, std::int32_t mode) {
  return exportDocument(metadata, objPath, documentPath, mode, kPolylistStyle);
}

ExportResult writeTrianglesCollada(ExportMetadata& metadata, const char* objPath,
                                   const char* documentPath, std::int32_t mode) {
  return exportDocument(metadata, objPath, documentPath, mode, kTrianglesStyle);
}

}  // namespace mevrix::collada
