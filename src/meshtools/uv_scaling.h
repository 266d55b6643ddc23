#pragma once
// Shrinking an OBJ file's texture coordinates toward the centre of the texture.

#include <optional>

#include "common/chunked_input.h"
#include "common/output_sink.h"

namespace mevrix::meshtools {

// True for the scales that rescaling accepts: 0 to 1, both included. NaN is not a scale.
constexpr bool isValidUvScale(double scale) {
  return scale >= 0.0 && scale <= 1.0;
}

// Copies the lines of `input` from where it stands to `sink`, each line ended by the platform
// line end. A line that begins with "vt" is rewritten as "vt " followed by each number read from
// its fourth character on (until one cannot be read) as c * scale + (1 - scale) / 2, each
// followed by a space; the offset is held as a float, the sum is taken in double and rounded to
// float, and the result is written as "%g" writes it. Every other line is copied unchanged.
// Throws common::ReadError.
void scaleUvLines(common::ChunkedInput& input, double scale, common::OutputSink& sink);

// The results of ScaleUVs.
enum class ScaleUvStatus {
  ok = 0,
  missingPath = 0,    // a path is null: nothing is opened, and no failure reported
  inputFailed = -1,   // the input cannot be read
  outputFailed = -2,  // the output cannot be opened for writing, or a write to it failed; the
                      // output path keeps what it held
  badScale = -5,      // the scale is not within 0 to 1
};

// Writes the rescaled form of the OBJ file at `inputPath` to `outputPath` as a new file that
// replaces what that held once complete (OutputFile::openReplacing), so that a failure never
// leaves a cut-off output or loses the input, even when the output is the input itself (any name
// for the same file). Nothing is opened for a bad scale.
ScaleUvStatus scaleUvFile(const char* inputPath, const char* outputPath, double scale);

// The same from an input already open as `source`, the file `sourceIdentity` when it is one.
ScaleUvStatus scaleUv(common::ByteSource& source,
                      const std::optional<platform::FileIdentity>& sourceIdentity,
                      const char* outputPath, double scale);

}  // namespace mevrix::meshtools
