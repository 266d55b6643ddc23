#pragma once
// A whole COLLADA 1.4.1 document, as both writers write it. Both documents are alike line for
// line except in their materials, which a MaterialPlan holds.
//
// Every text inserted into a line (metadata, base name, material names, the OBJ file's position
// and texture-coordinate texts) is XML-escaped, so no input can break or add markup; ordinary
// text passes through unchanged.

#include "collada/export_mesh.h"
#include "collada/export_metadata.h"
#include "collada/materials.h"
#include "common/chunked_input.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// The whole document, block by block. The position and texture-coordinate texts are read again
// from `input`, which the mesh was read from. Throws common::ReadError when they are no longer
// what they were.
void putDocument(common::OutputSink& sink, const ExportMetadata& metadata, const ExportMesh& mesh,
                 const MaterialPlan& plan, common::ChunkedInput& input);

}  // namespace mevrix::collada
