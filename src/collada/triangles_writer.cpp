#include "collada/triangles_writer.h"

namespace mevrix::collada {

std::string triangleMaterialName(std::size_t number) {
  std::string name = "material_";
  if (number > 1000) return name.append(std::to_string(number));
  // The last three digits of 1000 + number.
  return name.append(std::to_string(1000 + number).substr(1));
}

MaterialPlan triangleMaterials(const ExportMesh& mesh, std::string_view) {
  MaterialPlan plan;
  plan.primitive = PrimitiveKind::triangles;
  plan.materials.reserve(mesh.groups.size());
  plan.bindings.reserve(mesh.groups.size());
  for (std::size_t number = 1; number <= mesh.groups.size(); ++number) {
    plan.materials.push_back(triangleMaterialName(number));
    plan.bindings.push_back({plan.materials.back(), plan.materials.back()});
  }
  plan.groupSymbols.reserve(mesh.groups.size());
  for (const auto& [name, index] : mesh.groups) {
    plan.groupSymbols.push_back(plan.materials[static_cast<std::size_t>(index)]);
  }
  return plan;
}

ExportResult writeTrianglesCollada(ExportMetadata& metadata, const char* objPath,
                                   const char* documentPath, std::int32_t mode) {
  static constexpr WriterStyle kStyle{BaseNameRule::alwaysJoin, "copyright 2015", 2,
                                      triangleMaterials};
  return exportDocument(metadata, objPath, documentPath, mode, kStyle);
}

}  // namespace mevrix::collada
