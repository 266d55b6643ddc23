#pragma once
// How the blocks of a document write a line: fixed pieces as they stand, inserted texts
// XML-escaped, numbers in decimal, one after the other, then the line end.

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

#include "common/output_sink.h"
#include "common/xml_text.h"

namespace mevrix::collada {

// A text inserted into a line (metadata, base name, material names): escaped on the way out, so
// that no input can break or add markup.
struct Inserted {
  std::string_view text;
};

inline void putPiece(common::OutputSink& sink, std::string_view fixed) {
  sink.put(fixed);
}
inline void putPiece(common::OutputSink& sink, Inserted inserted) {
  common::putXmlEscaped(sink, inserted.text);
}
inline void putPiece(common::OutputSink& sink, std::int64_t number) {
  sink.putInt(number);
}
inline void putPiece(common::OutputSink& sink, std::size_t number) {
  sink.putInt(static_cast<std::int64_t>(number));
}

// One line: its pieces one after the other, then the line end.
template <typename... Pieces>
void putLine(common::OutputSink& sink, const Pieces&... pieces) {
  (putPiece(sink, pieces), ...);
  sink.putLineEnd();
}

inline void putLines(common::OutputSink& sink, std::span<const std::string_view> lines) {
  for (std::string_view line : lines) sink.putLine(line);
}

}  // namespace mevrix::collada
