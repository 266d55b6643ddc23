#include "common/xml_text.h"

namespace mevrix::common {
namespace {

std::string_view entityFor(char c) {
  switch (c) {
    case '&': return "&amp;";
    case '<': return "&lt;";
    case '>': return "&gt;";
    case '"': return "&quot;";
    case '\'': return "&apos;";
    default: return {};
  }
}

}  // namespace

void putXmlEscaped(OutputSink& sink, std::string_view text) {
  // Copy runs of safe bytes in one piece.
  std::size_t runStart = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const std::string_view entity = entityFor(text[i]);
    if (entity.empty()) continue;
    sink.put(text.substr(runStart, i - runStart));
    sink.put(entity);
    runStart = i + 1;
  }
  sink.put(text.substr(runStart));
}

}  // namespace mevrix::common
