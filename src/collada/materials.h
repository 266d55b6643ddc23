#pragma once
// The materials of a document: the plan of which ones it has, how its visual scene binds them and
// which one each group's element names, and the blocks that list them.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "common/output_sink.h"

namespace mevrix::collada {

enum class PrimitiveKind {
  polylist,   // faces of any size, with a <vcount> line
  triangles,  // faces written as they stand, without <vcount>
};

// Names are made when they are written, so a mesh with millions of groups needs no list of them.
class MaterialPlan {
 public:
  // One material "<base>_blinn" for every group, bound to the symbol "<base>_blinnSG"; the group
  // that comes k-th in the group map's order takes the symbol "<k>_<base>_blinnSG". Polygon lists.
  static MaterialPlan shared(std::string_view baseName);
  // One material per group, numbered by the groups' indices (see triangleMaterialName) and bound
  // to a symbol of its own name; each group's element names its own. Triangles.
  static MaterialPlan perGroup(std::size_t groups);

  PrimitiveKind primitive() const { return primitive_; }
  std::size_t materialCount() const { return primitive_ == PrimitiveKind::polylist ? 1 : groups_; }
  // The id of the i-th material in document order; its effect has the id followed by "-fx".
  std::string materialId(std::size_t i) const;
  // The symbol the visual scene binds to materialId(i).
  std::string bindingSymbol(std::size_t i) const;
  // The symbol of the element of the group with index `index`, the `ordinal`-th (from 0) in the
  // group map's order.
  std::string groupSymbol(std::size_t ordinal, std::int32_t index) const;

 private:
  MaterialPlan(PrimitiveKind primitive, std::string material, std::size_t groups)
      : primitive_(primitive), material_(std::move(material)), groups_(groups) {}

  PrimitiveKind primitive_;
  std::string material_;  // the shared material
  std::size_t groups_;
};

// The name of the triangles document's material for the group with index number - 1: three
// digits up to 999 ("material_001"), the last three digits of 1000 ("material_000"), and all
// digits from 1001 on, so that every group's material has an id of its own.
std::string triangleMaterialName(std::size_t number);

// <library_materials>: one material per id, instancing the effect "<id>-fx".
void putMaterialLibrary(common::OutputSink& sink, const MaterialPlan& plan);
// <library_effects>: one textured Blinn effect "<id>-fx" per material id, all alike.
void putEffectLibrary(common::OutputSink& sink, const MaterialPlan& plan);
// <library_visual_scenes>: one node instancing the geometry and binding the materials.
void putVisualSceneLibrary(common::OutputSink& sink, std::string_view baseName,
                           const MaterialPlan& plan);

}  // namespace mevrix::collada
