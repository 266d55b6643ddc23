// The OBJ merge rewriter against a reference that follows the merge rules line by line with plain
// code and a string stream for the numbers: the output must match byte for byte, and the counts
// of copied positions, texture coordinates and faces must match. The input's first eight bytes
// are the vertex base (a 32-bit integer, as the export passes it) and the texture-coordinate base
// (never negative: it counts lines appended before); the ninth picks how the text is read.

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "common/output_sink.h"
#include "fuzz_support.h"
#include "meshtools/obj_append.h"

namespace {

using mevrix::common::kLineEnd;

constexpr std::string_view kGroupName = "part";

// Integers as one string stream reads them from `text` until one cannot be read; `stoppedAt` is
// where the stream stands after the failed reading.
std::vector<std::int64_t> streamIntegers(const std::string& text, std::size_t& stoppedAt) {
  std::istringstream stream(text);
  std::vector<std::int64_t> numbers;
  for (;;) {
    std::int32_t number = 0;
    stream >> number;
    if (stream.fail()) {
      stream.clear();
      const auto position = stream.tellg();
      stoppedAt = position < 0 ? text.size() : static_cast<std::size_t>(position);
      return numbers;
    }
    numbers.push_back(number);
  }
}

std::string referenceFace(std::string_view line, std::int64_t vertexBase,
                          std::int64_t texCoordBase) {
  const std::string_view corners = line.substr(std::min<std::size_t>(2, line.size()));
  std::string positionText;
  std::string textureText;
  if (corners.find('/') == std::string_view::npos) {
    positionText = corners;
  } else {
    for (const std::string_view corner : mevrix::fuzz::words(corners)) {
      const std::size_t slash = corner.find('/');
      positionText.append(corner.substr(0, slash)) += ' ';
      textureText.append(slash == std::string_view::npos ? corner : corner.substr(slash + 1)) +=
          ' ';
    }
  }
  std::size_t stoppedAt = 0;
  const std::vector<std::int64_t> positions = streamIntegers(positionText, stoppedAt);
  const std::string rest = (positionText + textureText).substr(stoppedAt);
  const std::vector<std::int64_t> texCoords = streamIntegers(rest, stoppedAt);
  if (positions.size() != texCoords.size()) {
    return "# faceV - " + std::to_string(positions.size()) + " txrV - " +
           std::to_string(texCoords.size());
  }
  std::string face = "f ";
  for (std::size_t i = 0; i < positions.size(); ++i) {
    face += std::to_string(positions[i] + vertexBase) + '/' +
            std::to_string(texCoords[i] + texCoordBase) + ' ';
  }
  return face;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::int64_t vertexBase = input.integer<std::int32_t>();
  const std::int64_t texCoordBase = input.integer<std::uint32_t>();
  const std::uint8_t selector = input.byte();
  const std::string_view obj = input.rest();

  mevrix::fuzz::ChunkedBytes text(obj, selector);
  mevrix::common::OutputSink sink;
  const mevrix::meshtools::AppendCounts counts =
      mevrix::meshtools::appendObjLines(text.input(), kGroupName, vertexBase, texCoordBase, sink);

  std::string expected;
  mevrix::meshtools::AppendCounts expectedCounts;
  for (const std::string_view line : mevrix::fuzz::referenceLines(obj)) {
    if (line.empty()) continue;
    if (line.starts_with("v ")) {
      (expected += line) += kLineEnd;
      ++expectedCounts.positions;
    } else if (line.starts_with("vt")) {
      (expected += line) += kLineEnd;
      ++expectedCounts.texCoords;
    } else if (line[0] == 'g') {
      ((expected += "g ") += kGroupName) += kLineEnd;
    } else if (line[0] == 'f') {
      (expected += referenceFace(line, vertexBase, texCoordBase)) += kLineEnd;
      ++expectedCounts.faces;
    }
  }
  if (sink.contents() != expected || counts.positions != expectedCounts.positions ||
      counts.texCoords != expectedCounts.texCoords || counts.faces != expectedCounts.faces) {
    std::abort();
  }
  return 0;
}
