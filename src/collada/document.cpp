#include "collada/document.h"

#include "collada/document_frame.h"
#include "collada/geometry_library.h"

namespace mevrix::collada {

void putDocument(common::OutputSink& sink, const ExportMetadata& metadata, const ExportMesh& mesh,
                 const MaterialPlan& plan, common::ChunkedInput& input) {
  putHead(sink);
  putAsset(sink, metadata);
  putMaterialLibrary(sink, plan);
  putEffectLibrary(sink, plan);
  putImageLibrary(sink, metadata.textureName);
  putGeometryLibrary(sink, metadata.baseName, mesh, plan, input);
  putVisualSceneLibrary(sink, metadata.baseName, plan);
  putSceneAndEnd(sink);
}

}  // namespace mevrix::collada
