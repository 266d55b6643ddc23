#pragma once
// Escaping of text inserted into XML documents.

#include <string_view>

#include "common/output_sink.h"

namespace mevrix::common {

// Writes `text` with & < > " ' replaced by their entity references; every other byte is written
// as it stands, so ordinary text passes through unchanged.
void putXmlEscaped(OutputSink& sink, std::string_view text);

}  // namespace mevrix::common
