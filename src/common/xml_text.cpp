#include "common/xml_text.h"

#include <cstring>

#include "common/split_size.h"

namespace mevrix::common {
namespace {

std::string_view entityFor(char c) {
  switch (c) {
    case '&':
      return "&amp;";
    case '<':
      return "&lt;";
    case '>':
      return "&gt;";
    case '"':
      return "&quot;";
    case '\'':
      return "&apos;";
    default:
      return {};
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

bool needsXmlEscaping(std::string_view text) {
  // memchr is the fastest scan the library has; five of them over a block that stays in the
  // cache cost little more than one pass over memory.
  const std::size_t blockSize = splitSize(64 * 1024);
  for (std::size_t start = 0; start < text.size(); start += blockSize) {
    const std::string_view block = text.substr(start, blockSize);
    for (const char special : {'&', '<', '>', '"', '\''}) {
      if (std::memchr(block.data(), special, block.size())) return true;
    }
  }
  return false;
}

}  // namespace mevrix::common
