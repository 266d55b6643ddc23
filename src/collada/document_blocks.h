#pragma once
// The blocks of a COLLADA 1.4.1 document as both writers write it, and the whole document made of
// them. Both writers' documents are alike line for line except in their materials; a
// MaterialPlan holds what differs.
//
// Every text inserted into a line (metadata, base name, material names, the OBJ file's position
// and texture-coordinate texts) is XML-escaped, so no input can break or add markup; ordinary
// text passes through unchanged.

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "collada/export_mesh.h"
#include "collada/export_metadata.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// The namespace of the COLLADA 1.4.1 schema.
inline constexpr std::string_view kColladaNamespace =
    "http://www.collada.org/2005/11/COLLADASchema";

enum class PrimitiveKind {
  polylist,   // faces of any size, with a <vcount> line
  triangles,  // faces written as they stand, without <vcount>
};

// A symbol that the visual scene's node binds to a material.
struct MaterialBinding {
  std::string symbol;
  std::string target;  // material id, without "#"
};

struct MaterialPlan {
  std::vector<std::string> materials;  // material ids, in document order; each has an effect
                                       // with the id followed by "-fx"
  std::vector<MaterialBinding> bindings;
  PrimitiveKind primitive = PrimitiveKind::polylist;
  std::vector<std::string> groupSymbols;  // each group's material symbol, in group map order
};

// The XML declaration and the opening of the root element.
void putHead(common::OutputSink& sink);
// <asset>, with the metadata's author, comments, copyright and date.
void putAsset(common::OutputSink& sink, const ExportMetadata& metadata);
// <library_materials>: one material per id, instancing the effect "<id>-fx".
void putMaterialLibrary(common::OutputSink& sink, std::span<const std::string> materials);
// <library_effects>: one textured Blinn effect "<id>-fx" per material id, all alike.
void putEffectLibrary(common::OutputSink& sink, std::span<const std::string> materials);
// <library_images>: the texture image "./<textureName>.bmp".
void putImageLibrary(common::OutputSink& sink, std::string_view textureName);
// <library_geometries>: the mesh's sources, its vertices and one element per group in the group
// map's order. Releases the mesh's vertex records once their normals are formatted.
void putGeometryLibrary(common::OutputSink& sink, std::string_view baseName, ExportMesh& mesh,
                        std::int32_t mode, const MaterialPlan& plan);
// <library_visual_scenes>: one node instancing the geometry and binding the materials.
void putVisualSceneLibrary(common::OutputSink& sink, std::string_view baseName,
                           std::span<const MaterialBinding> bindings);
// <scene>, the end of the root element and two empty lines.
void putSceneAndEnd(common::OutputSink& sink);

// The whole document, block by block.
void putDocument(common::OutputSink& sink, const ExportMetadata& metadata, ExportMesh& mesh,
                 std::int32_t mode, const MaterialPlan& plan);

}  // namespace mevrix::collada
