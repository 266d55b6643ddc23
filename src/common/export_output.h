#pragma once
// Writing an export's output file, the same way for every export: opened to be written anew,
// written through a sink, closed only once every byte is there, and each way this can fail
// turned into the export's own result.

#include <optional>
#include <type_traits>

#include "common/byte_source.h"
#include "common/chunked_input.h"
#include "common/output_sink.h"
#include "platform/file_identity.h"

namespace mevrix::common {

// An export's results for the ways writing its output ends.
template <typename Result>
struct OutputResults {
  Result written;    // every byte reached the file, which is now at the path
  Result notOpened;  // the path cannot be opened, or may not be written
  Result failed;     // a write, the flush or the close failed, or the input or memory failed
};

// Opens `path` with OutputFile::openReplacing (`input` is the identity of the file being read,
// when it is one), runs `write(sink)` and closes the file. `write` returns results.written to keep
// the output, or another result to give it up and have that returned; a ReadError or bad_alloc
// it throws gives results.failed. A given output leaves the path as it held. `source`, the input,
// is closed before the output is: on Windows an output that replaces it must find it closed.
template <typename Write, typename Result = std::invoke_result_t<Write&, OutputSink&>>
Result writeExportOutput(const char* path, const std::optional<platform::FileIdentity>& input,
                         ByteSource* source,
                         const std::type_identity_t<OutputResults<Result>>& results,
                         Write&& write) {
  std::optional<OutputFile> file = OutputFile::openReplacing(path, input);
  if (!file) return results.notOpened;
  Result result = results.failed;
  bool finished = false;
  if (!completes([&] {
        OutputSink sink(*file);
        result = write(sink);
        finished = sink.finish();
      })) {
    return results.failed;  // the file is never closed, so nothing takes the path
  }
  if (result != results.written) return result;
  if (source) source->close();
  const bool closed = file->close();
  return finished && closed ? results.written : results.failed;
}

}  // namespace mevrix::common
