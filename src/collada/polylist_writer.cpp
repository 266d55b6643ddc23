#include "collada/polylist_writer.h"

#include <string>

namespace mevrix::collada {

MaterialPlan polylistMaterials(const ExportMesh& mesh, std::string_view baseName) {
  const std::string material = std::string(baseName) + "_blinn";
  const std::string symbol = material + "SG";
  MaterialPlan plan;
  plan.materials = {material};
  plan.bindings = {{symbol, material}};
  plan.primitive = PrimitiveKind::polylist;
  plan.groupSymbols.reserve(mesh.groups.size());
  for (std::size_t k = 1; k <= mesh.groups.size(); ++k) {
    plan.groupSymbols.push_back(std::to_string(k) + "_" + symbol);
  }
  return plan;
}

ExportResult writePolylistCollada(ExportMetadata& metadata, const char* objPath,
                                  const char* documentPath, std::int32_t mode) {
  static constexpr WriterStyle kStyle{BaseNameRule::keepSingleWord, "copyright 2010", 7,
                                      polylistMaterials};
  return exportDocument(metadata, objPath, documentPath, mode, kStyle);
}

}  // namespace mevrix::collada
