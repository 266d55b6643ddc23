#include "meshtools/uv_scaling.h"

#include <algorithm>
#include <optional>

#include "common/export_output.h"
#include "common/number_format.h"
#include "common/number_scan.h"

namespace mevrix::meshtools {
namespace {

void scaleUvLine(std::string_view line, double scale, float offset, common::OutputSink& sink) {
  if (line.size() < 2 || line[0] != 'v' || line[1] != 't') {
    sink.putReadingAhead<common::ChunkedInput::kPadding>(line, common::kLineEnd);
    return;
  }
  sink.put("vt ");
  // "vt" and the separator behind it are dropped; a line "vt" alone has no separator.
  const char* p = line.data() + std::min<std::size_t>(3, line.size());
  const char* end = line.data() + line.size();
  // A few numbers are read before any is written, so that reading the next number need not
  // wait for the last one's text.
  constexpr std::size_t kBatch = 4;
  for (bool more = true; more;) {
    float coordinates[kBatch];
    std::size_t count = 0;
    while (count < kBatch) {
      const common::ScanResult scanned = common::scanFloat(p, end, coordinates[count]);
      if (!scanned.ok) {
        more = false;
        break;
      }
      p = scanned.next;
      ++count;
    }
    for (std::size_t i = 0; i < count; ++i) {
      const double exact =
          static_cast<double>(coordinates[i]) * scale + static_cast<double>(offset);
      char* out = sink.reserve(common::kMaxNumberChars + 1);
      out = common::formatFloatG6(out, static_cast<float>(exact));
      *out++ = ' ';
      sink.commit(out);
    }
  }
  sink.putLineEnd();
}

}  // namespace

void scaleUvLines(common::ChunkedInput& input, double scale, common::OutputSink& sink) {
  const float offset = static_cast<float>((1.0 - scale) / 2.0);
  std::string_view line;
  while (input.nextLine(line)) scaleUvLine(line, scale, offset, sink);
}

ScaleUvStatus scaleUvFile(const char* inputPath, const char* outputPath, double scale) {
  if (!isValidUvScale(scale)) return ScaleUvStatus::badScale;
  std::optional<common::FileSource> source = common::FileSource::open(inputPath);
  if (!source) return ScaleUvStatus::inputFailed;
  return scaleUv(*source, source->identity(), outputPath, scale);
}

ScaleUvStatus scaleUv(common::ByteSource& source,
                      const std::optional<platform::FileIdentity>& sourceIdentity,
                      const char* outputPath, double scale) {
  if (!isValidUvScale(scale)) return ScaleUvStatus::badScale;
  std::optional<common::ChunkedInput> input;
  // The first window is read before the output is touched: an input that cannot be read at all
  // leaves the output as it was.
  if (!common::completes([&] { input.emplace(source).readAhead(); })) {
    return ScaleUvStatus::inputFailed;
  }
  return common::writeExportOutput(
      outputPath, sourceIdentity, &source,
      {ScaleUvStatus::ok, ScaleUvStatus::outputFailed, ScaleUvStatus::outputFailed},
      [&](common::OutputSink& sink) {
        scaleUvLines(*input, scale, sink);
        return ScaleUvStatus::ok;
      });
}

}  // namespace mevrix::meshtools
