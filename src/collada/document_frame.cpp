#include "collada/document_frame.h"

#include "collada/document_lines.h"
#include "collada/fixed_texts.h"

namespace mevrix::collada {

using common::OutputSink;

void putHead(OutputSink& sink) {
  sink.putLine("<?xml version=\"1.0\" encoding=\"utf-8\"?>");
  putLine(sink, "<COLLADA xmlns=\"", kColladaNamespace, "\" version=\"1.4.1\">");
}

void putAsset(OutputSink& sink, const ExportMetadata& metadata) {
  const Inserted date{metadata.date};
  sink.putLine("  <asset>");
  sink.putLine("    <contributor>");
  putLine(sink, "      <author>", Inserted{metadata.author}, "</author>");
  sink.putLine("      <authoring_tool>Qelvar Collada Exporter</authoring_tool>");
  putLine(sink, "      <comments>", Inserted{metadata.comments}, "</comments> ");
  putLine(sink, "\t\t\t<copyright>", Inserted{metadata.copyright}, "</copyright>");
  sink.putLine("\t\t\t<source_data></source_data>     ");
  sink.putLine("    </contributor>");
  putLine(sink, "    <created>", date, "</created>");
  putLine(sink, "    <modified>", date, "</modified>");
  sink.putLine("    <unit name=\"half-meter\" meter=\"0.5\"/>");
  sink.putLine("    <up_axis>Y_UP</up_axis>");
  sink.putLine("  </asset>");
}

void putImageLibrary(OutputSink& sink, std::string_view textureName) {
  sink.putLine("  <library_images>");
  sink.putLine("    <image id=\"QelvarTexture\" name=\"QelvarTexture\">");
  putLine(sink, "      <init_from>./", Inserted{textureName}, ".bmp</init_from>");
  putLines(sink, kImageTail);
}

void putSceneAndEnd(OutputSink& sink) {
  putLines(sink, kSceneAndEnd);
}

}  // namespace mevrix::collada
