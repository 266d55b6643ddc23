#pragma once
// Escaping of text inserted into XML documents.

#include <string_view>

#include "common/output_sink.h"

namespace mevrix::common {

// Writes `text` with & < > " ' replaced by their entity references; every other byte is written
// as it stands, so ordinary text passes through unchanged.
void putXmlEscaped(OutputSink& sink, std::string_view text);

// True when `text` holds one of & < > " ', so that putXmlEscaped would change it. Checks large
// texts quickly, so a writer can test a whole run of short texts once instead of each of them.
bool needsXmlEscaping(std::string_view text);

}  // namespace mevrix::common
