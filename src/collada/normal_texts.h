#pragma once
// The values of a document's normals array, three per corner in the order the corners are
// written.

#include "collada/export_mesh.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// Normal mode 1 repeats each face's normal for the face's corners; modes 2 and up give each
// corner its vertex's normal (0 0 0 for a corner that names no vertex). A component that is not a
// finite number is written as 0.
void putNormalValues(common::OutputSink& sink, const ExportMesh& mesh);

}  // namespace mevrix::collada
