#include "collada/polylist_writer.h"

namespace mevrix::collada {

MaterialPlan polylistMaterials(const ExportMesh&, std::string_view baseName) {
  return MaterialPlan::shared(baseName);
}

ExportResult writePolylistCollada(ExportMetadata& metadata, const char* objPath,
                                  const char* documentPath, std::int32_t mode) {
  static constexpr WriterStyle kStyle{BaseNameRule::keepSingleWord, "copyright 2010", 7,
                                      polylistMaterials};
  return exportDocument(metadata, objPath, documentPath, mode, kStyle);
}

}  // namespace mevrix::collada
