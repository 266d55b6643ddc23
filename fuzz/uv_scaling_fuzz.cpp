// The texture-coordinate rescaler against a reference that reads each "vt" line's numbers with a
// string stream, rescales them in the stated arithmetic and prints them with printf's "%g"; every
// other line must pass unchanged. The input's first eight bytes give the scale (a double; values
// outside 0 to 1 are folded into that range); the ninth picks how the text is read.

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <string_view>

#include "common/output_sink.h"
#include "fuzz_support.h"
#include "meshtools/uv_scaling.h"

namespace {

using mevrix::common::kLineEnd;

double scaleFrom(double raw) {
  if (mevrix::meshtools::isValidUvScale(raw)) return raw;
  if (!std::isfinite(raw)) return std::signbit(raw) ? 0.0 : 1.0;
  return std::fabs(std::fmod(raw, 1.0));
}

std::string referenceTexCoords(std::string_view line, double scale) {
  const float offset = static_cast<float>((1.0 - scale) / 2.0);
  std::istringstream stream(std::string(line.substr(std::min<std::size_t>(3, line.size()))));
  std::string out = "vt ";
  for (;;) {
    float coordinate = 0;
    stream >> coordinate;
    if (stream.fail()) return out;
    const auto scaled =
        static_cast<float>(static_cast<double>(coordinate) * scale + static_cast<double>(offset));
    char text[64];
    std::snprintf(text, sizeof text, "%g ", static_cast<double>(scaled));
    out += text;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const double scale = scaleFrom(input.real());
  const std::uint8_t selector = input.byte();
  const std::string_view obj = input.rest();

  mevrix::fuzz::ChunkedBytes text(obj, selector);
  mevrix::common::OutputSink sink;
  mevrix::meshtools::scaleUvLines(text.input(), scale, sink);

  std::string expected;
  for (const std::string_view line : mevrix::fuzz::referenceLines(obj)) {
    (expected += line.starts_with("vt") ? referenceTexCoords(line, scale) : std::string(line)) +=
        kLineEnd;
  }
  if (sink.contents() != expected) std::abort();
  return 0;
}
