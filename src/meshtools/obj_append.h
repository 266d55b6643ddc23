#pragma once
// Merging OBJ files into one: each appended input keeps its positions and texture coordinates,
// takes the group name of its file, and has its faces renumbered past everything appended before.

#include <cstdint>
#include <string_view>

#include "common/chunked_input.h"
#include "common/output_sink.h"
#include "meshtools/merge_state.h"

namespace mevrix::meshtools {

// What one input contributed to a merge.
struct AppendCounts {
  std::int64_t positions = 0;  // "v " lines copied
  std::int64_t texCoords = 0;  // "vt" lines copied
  std::int64_t faces = 0;      // "f" lines rewritten (as faces or as comment lines)
};

// Writes the merged form of the lines of `input`, from where it stands, to `sink`, each line
// ended by the platform line
// end: position ("v ") and texture-coordinate ("vt") lines unchanged, every line that begins with
// "g" as "g " + `groupName`, every line that begins with "f" renumbered (below), all else dropped.
//
// A face line loses its first two characters. When the rest holds a "/", each space-separated
// corner contributes its part before the first "/" to a position text and its part after it to a
// texture text (a corner without "/" contributes itself to both). Integers are read from the
// position text until one cannot be read, then from what that left unread followed by the texture
// text, as one stream would read them. Equal counts give "f " followed by "P/T " per corner, with
// `vertexBase` added to each position and `texCoordBase` to each texture number; unequal counts
// give the line "# faceV - N txrV - M". Sums are exact 64-bit values, never wrapped. Throws
// common::ReadError.
AppendCounts appendObjLines(common::ChunkedInput& input, std::string_view groupName,
                            std::int64_t vertexBase, std::int64_t texCoordBase,
                            common::OutputSink& sink);

// The results of AppendOBJ besides the vertex count it returns for `ok`, and of GroupListClear.
enum class AppendStatus {
  ok = 0,             // GroupListClear: always
  inputFailed = -1,   // the input cannot be read
  outputFailed = -2,  // the output cannot be opened for appending, or appending failed (the output
                      // is left as it was)
  missingPath = -9,   // a path is null
};

struct AppendResult {
  AppendStatus status = AppendStatus::ok;
  std::int64_t vertexCount = 0;  // on success: `vertexBase` + the position lines copied
};

// Appends the OBJ file at `inputPath` to the file at `outputPath` (created if absent), named after
// the input's file stem and numbered from `vertexBase` and `state.texCoordBase`. On success records
// the input in `state` and advances its counters; on failure leaves `state` as it was. Only the
// bytes the input had when it was opened are read, so an output that is the input itself gains
// one renumbered copy. An input that cannot be read at all leaves the output untouched; any
// failure once appending has begun (the input, a write, memory) gives outputFailed and cuts the
// output back to the size it had, so a failed call leaves it as it was.
AppendResult appendObjFile(const char* inputPath, const char* outputPath, std::int64_t vertexBase,
                           MergeState& state);

// The same from an input already open as `source`, whose group is named `groupName`.
AppendResult appendObj(common::ByteSource& source, std::string_view groupName,
                       const char* outputPath, std::int64_t vertexBase, MergeState& state);

}  // namespace mevrix::meshtools
