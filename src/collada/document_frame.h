#pragma once
// The blocks of a document that carry neither the mesh nor the materials: the head, the asset
// with the metadata, the image library with the texture's name, and the scene with the end.

#include <string_view>

#include "collada/export_metadata.h"
#include "common/output_sink.h"

namespace mevrix::collada {

// The XML declaration and the opening of the root element.
void putHead(common::OutputSink& sink);
// <asset>, with the metadata's author, comments, copyright and date.
void putAsset(common::OutputSink& sink, const ExportMetadata& metadata);
// <library_images>: the texture image "./<textureName>.bmp".
void putImageLibrary(common::OutputSink& sink, std::string_view textureName);
// <scene>, the end of the root element and two empty lines.
void putSceneAndEnd(common::OutputSink& sink);

}  // namespace mevrix::collada
