#pragma once
// The blocks of a COLLADA 1.4.1 document as both writers write it, and the whole document made of
// them. Both writers' documents are alike line for line except in their materials; a
// MaterialPlan holds what differs.
//
// Every text inserted into a line (metadata, base name, material names, the OBJ file's position
// and texture-coordinate texts) is XML-escaped, so no input can break or add markup; ordinary
// text passes through unchanged.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>

#include "collada/export_mesh.h"
#include "collada/export_metadata.h"
#include "common/chunked_input.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// The namespace of the COLLADA 1.4.1 schema.
inline constexpr std::string_view kColladaNamespace =
    "http://www.collada.org/2005/11/COLLADASchema";

enum class PrimitiveKind {
  polylist,   // faces of any size, with a <vcount> line
  triangles,  // faces written as they stand, without <vcount>
};

// Which materials a document has, how its visual scene binds them and which one each group's
// element names. Names are made when they are written, so a mesh with millions of groups needs no
// list of them.
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

// The XML declaration and the opening of the root element.
void putHead(common::OutputSink& sink);
// <asset>, with the metadata's author, comments, copyright and date.
void putAsset(common::OutputSink& sink, const ExportMetadata& metadata);
// <library_materials>: one material per id, instancing the effect "<id>-fx".
void putMaterialLibrary(common::OutputSink& sink, const MaterialPlan& plan);
// <library_effects>: one textured Blinn effect "<id>-fx" per material id, all alike.
void putEffectLibrary(common::OutputSink& sink, const MaterialPlan& plan);
// <library_images>: the texture image "./<textureName>.bmp".
void putImageLibrary(common::OutputSink& sink, std::string_view textureName);
// <library_geometries>: the mesh's sources, its vertices and one element per group in the group
// map's order. The position and texture-coordinate texts are read again from `input`, which the
// mesh was read from. Throws common::ReadError when they are no longer what they were.
void putGeometryLibrary(common::OutputSink& sink, std::string_view baseName, const ExportMesh& mesh,
                        const MaterialPlan& plan, common::ChunkedInput& input);
// <library_visual_scenes>: one node instancing the geometry and binding the materials.
void putVisualSceneLibrary(common::OutputSink& sink, std::string_view baseName,
                           const MaterialPlan& plan);
// <scene>, the end of the root element and two empty lines.
void putSceneAndEnd(common::OutputSink& sink);

// The whole document, block by block.
void putDocument(common::OutputSink& sink, const ExportMetadata& metadata, const ExportMesh& mesh,
                 const MaterialPlan& plan, common::ChunkedInput& input);

}  // namespace mevrix::collada
