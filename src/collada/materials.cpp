#include "collada/materials.h"

#include <string>

#include "collada/document_lines.h"
#include "collada/fixed_texts.h"

namespace mevrix::collada {

using common::OutputSink;

MaterialPlan MaterialPlan::shared(std::string_view baseName) {
  return MaterialPlan(PrimitiveKind::polylist, std::string(baseName) + "_blinn", 1);
}

MaterialPlan MaterialPlan::perGroup(std::size_t groups) {
  return MaterialPlan(PrimitiveKind::triangles, {}, groups);
}

std::string MaterialPlan::materialId(std::size_t i) const {
  return primitive_ == PrimitiveKind::polylist ? material_ : triangleMaterialName(i + 1);
}

std::string MaterialPlan::bindingSymbol(std::size_t i) const {
  return primitive_ == PrimitiveKind::polylist ? material_ + "SG" : triangleMaterialName(i + 1);
}

std::string MaterialPlan::groupSymbol(std::size_t ordinal, std::int32_t index) const {
  if (primitive_ == PrimitiveKind::polylist) {
    std::string symbol = std::to_string(ordinal + 1);
    symbol += '_';
    symbol += material_;
    symbol += "SG";
    return symbol;
  }
  return triangleMaterialName(static_cast<std::size_t>(index) + 1);
}

std::string triangleMaterialName(std::size_t number) {
  std::string name = "material_";
  // The last three digits of 1000 + number, or from 1001 on the whole number.
  name += number > 1000 ? std::to_string(number) : std::to_string(1000 + number).substr(1);
  return name;
}

void putMaterialLibrary(OutputSink& sink, const MaterialPlan& plan) {
  sink.putLine("  <library_materials>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    const std::string material = plan.materialId(i);
    const Inserted id{material};
    putLine(sink, "    <material id=\"", id, "\" name=\"", id, "\">");
    putLine(sink, "      <instance_effect url=\"#", id, "-fx\"/>");
    sink.putLine("    </material>");
  }
  sink.putLine("  </library_materials>");
}

void putEffectLibrary(OutputSink& sink, const MaterialPlan& plan) {
  sink.putLine("  <library_effects>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    putLine(sink, "    <effect id=\"", Inserted{plan.materialId(i)}, "-fx\">");
    putLines(sink, kEffectBody);
  }
  sink.putLine("  </library_effects>");
}

void putVisualSceneLibrary(OutputSink& sink, std::string_view baseName, const MaterialPlan& plan) {
  const Inserted base{baseName};
  sink.putLine("  <library_visual_scenes>");
  putLine(sink, "    <visual_scene id=\"VisualSceneNode\" name=\"", base, "\">");
  putLine(sink, "      <node id=\"", base, "\" name=\"", base, "\" type=\"NODE\">");
  putLines(sink, kNodeTransform);
  putLine(sink, "        <instance_geometry url=\"#", base, "\">");
  sink.putLine("          <bind_material>");
  sink.putLine("            <technique_common>");
  for (std::size_t i = 0; i < plan.materialCount(); ++i) {
    putLine(sink, "              <instance_material symbol=\"", Inserted{plan.bindingSymbol(i)},
            "\" target=\"#", Inserted{plan.materialId(i)}, "\">");
    sink.putLine(
        "                <bind_vertex_input semantic=\"TEX0\" input_semantic=\"TEXCOORD\" "
        "input_set=\"0\"/>");
    sink.putLine("              </instance_material>");
  }
  putLines(sink, kVisualSceneTail);
}

}  // namespace mevrix::collada
