#pragma once
// The geometry library: the mesh's sources of positions, normals and texture coordinates, its
// vertices, and one primitive element per group with its corners' indices.

#include <string_view>

#include "collada/export_mesh.h"
#include "collada/materials.h"
#include "common/chunked_input.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// <library_geometries>: the mesh's sources, its vertices and one element per group in the group
// map's order, named as `plan` says. The position and texture-coordinate texts are read again
// from `input`, which the mesh was read from, and inserted XML-escaped. Throws common::ReadError
// when they are no longer what they were.
void putGeometryLibrary(common::OutputSink& sink, std::string_view baseName, const ExportMesh& mesh,
                        const MaterialPlan& plan, common::ChunkedInput& input);

}  // namespace mevrix::collada
