#include "meshtools/uv_scaling.h"

#include <algorithm>
#include <optional>

#include "common/file_reader.h"
#include "common/number_format.h"
#include "common/number_scan.h"

namespace mevrix::meshtools {

void scaleUvText(std::string_view input, double scale, common::OutputSink& sink) {
  const float offset = static_cast<float>((1.0 - scale) / 2.0);
  common::LineReader lines(input);
  std::string_view line;
  while (lines.next(line)) {
    if (line.size() < 2 || line[0] != 'v' || line[1] != 't') {
      sink.putLine(line);
      continue;
    }
    sink.put("vt ");
    // "vt" and the separator behind it are dropped; a line "vt" alone has no separator.
    const char* p = line.data() + std::min<std::size_t>(3, line.size());
    const char* end = line.data() + line.size();
    for (;;) {
      float coordinate = 0.0f;
      const common::ScanResult scanned = common::scanFloat(p, end, coordinate);
      if (!scanned.ok) break;
      p = scanned.next;
      const double exact = static_cast<double>(coordinate) * scale + static_cast<double>(offset);
      char* out = sink.reserve(common::kMaxNumberChars + 1);
      out = common::formatFloatG6(out, static_cast<float>(exact));
      *out++ = ' ';
      sink.commit(out);
    }
    sink.putLineEnd();
  }
}

ScaleUvStatus scaleUvFile(const char* inputPath, const char* outputPath, double scale) {
  if (!isValidUvScale(scale)) return ScaleUvStatus::badScale;
  // Read all of the input before the output is truncated, which would empty the input when both
  // paths name the same file.
  const std::optional<common::FileBuffer> input = common::readWholeFile(inputPath);
  if (!input) return ScaleUvStatus::inputFailed;
  std::optional<common::OutputFile> file =
      common::OutputFile::open(outputPath, platform::WriteMode::truncate);
  if (!file) return ScaleUvStatus::outputFailed;
  common::OutputSink sink(*file);
  scaleUvText(input->view(), scale, sink);
  const bool flushed = sink.finish();
  const bool closed = file->close();
  return flushed && closed ? ScaleUvStatus::ok : ScaleUvStatus::outputFailed;
}

}  // namespace mevrix::meshtools
