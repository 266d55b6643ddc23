#include "meshtools/obj_append.h"

#include <algorithm>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "common/number_format.h"
#include "common/number_scan.h"
#include "common/path.h"
#include "common/space_tokens.h"

namespace mevrix::meshtools {
namespace {

// Rewrites face lines; keeps its scratch space from line to line so that no line allocates.
class FaceRewriter {
 public:
  FaceRewriter(std::int64_t vertexBase, std::int64_t texCoordBase)
      : vertexBase_(vertexBase), texCoordBase_(texCoordBase) {}

  // `corners` is the face line without its first two characters.
  void rewrite(std::string_view corners, common::OutputSink& sink) {
    if (readPlainCorners(corners)) {
      writeFace(sink);
      return;
    }
    positions_.clear();
    texCoords_.clear();
    const char* first = corners.data();
    const char* positionEnd = first + corners.size();
    const char* textEnd = positionEnd;
    if (corners.find('/') != std::string_view::npos) {
      splitCorners(corners);
      positionText_ += textureText_;
      first = positionText_.data();
      textEnd = first + positionText_.size();
      positionEnd = textEnd - textureText_.size();
    }
    // One reading position runs through both texts: what the position numbers left unread is
    // read first when the texture numbers are read, and a non-number there ends them at once.
    const char* p = readIntegers(first, positionEnd, positions_);
    readIntegers(p, textEnd, texCoords_);
    writeFace(sink);
  }

 private:
  // The common case, read without building the two texts: every corner is "P/T" with unsigned
  // numbers of at most nine digits (so none can overflow), corners separated by spaces. The
  // general reading gives exactly these pairs for such a line. False for any other line.
  bool readPlainCorners(std::string_view corners) {
    positions_.clear();
    texCoords_.clear();
    const char* p = corners.data();
    const char* const end = p + corners.size();
    for (;;) {
      while (p != end && *p == ' ') ++p;
      if (p == end) return true;
      std::int32_t position = 0;
      std::int32_t texCoord = 0;
      if (!common::scanPlainCorner(p, end, false, position, texCoord)) return false;
      positions_.push_back(position);
      texCoords_.push_back(texCoord);
    }
  }

  void splitCorners(std::string_view corners) {
    positionText_.clear();
    textureText_.clear();
    std::size_t pos = 0;
    std::string_view corner;
    while (common::nextSpaceToken(corners, pos, corner)) {
      const std::size_t slash = corner.find('/');
      if (slash == std::string_view::npos) {
        positionText_.append(corner).push_back(' ');
        textureText_.append(corner).push_back(' ');
      } else {
        positionText_.append(corner.substr(0, slash)).push_back(' ');
        textureText_.append(corner.substr(slash + 1)).push_back(' ');
      }
    }
  }

  // Reads integers until one cannot be read; returns where the failed reading stopped.
  static const char* readIntegers(const char* p, const char* last,
                                  std::vector<std::int32_t>& numbers) {
    for (;;) {
      std::int32_t number = 0;
      const common::ScanResult scanned = common::scanInt(p, last, number);
      p = scanned.next;
      if (!scanned.ok) return p;
      numbers.push_back(number);
    }
  }

  void writeFace(common::OutputSink& sink) const {
    if (positions_.size() != texCoords_.size()) {
      sink.put("# faceV - ");
      sink.putInt(static_cast<std::int64_t>(positions_.size()));
      sink.put(" txrV - ");
      sink.putInt(static_cast<std::int64_t>(texCoords_.size()));
      sink.putLineEnd();
      return;
    }
    sink.put("f ");
    common::RepeatedInt position;
    for (std::size_t i = 0; i < positions_.size(); ++i) {
      char* out = position.format(sink.reserve(2 * common::kMaxNumberChars + 2),
                                  positions_[i] + vertexBase_);
      *out++ = '/';
      out = position.put(out, texCoords_[i] + texCoordBase_);
      *out++ = ' ';
      sink.commit(out);
    }
    sink.putLineEnd();
  }

  std::int64_t vertexBase_;
  std::int64_t texCoordBase_;
  std::string positionText_;  // the position text, then the texture text appended behind it
  std::string textureText_;
  std::vector<std::int32_t> positions_;
  std::vector<std::int32_t> texCoords_;
};

}  // namespace

AppendCounts appendObjLines(common::ChunkedInput& input, std::string_view groupName,
                            std::int64_t vertexBase, std::int64_t texCoordBase,
                            common::OutputSink& sink) {
  FaceRewriter faces(vertexBase, texCoordBase);
  AppendCounts counts;
  std::string_view line;
  while (input.nextLine(line)) {
    if (line.empty()) continue;
    switch (line[0]) {
      case 'v':
        if (line.size() < 2) break;
        if (line[1] == ' ') {
          sink.putReadingAhead<common::ChunkedInput::kPadding>(line, common::kLineEnd);
          ++counts.positions;
        } else if (line[1] == 't') {
          sink.putReadingAhead<common::ChunkedInput::kPadding>(line, common::kLineEnd);
          ++counts.texCoords;
        }
        break;
      case 'g':
        sink.put("g ");
        sink.putLine(groupName);
        break;
      case 'f':
        // A line "f" alone has no separator to drop; it reads as a face without corners.
        faces.rewrite(line.substr(std::min<std::size_t>(2, line.size())), sink);
        ++counts.faces;
        break;
      default:
        break;
    }
  }
  return counts;
}

AppendResult appendObjFile(const char* inputPath, const char* outputPath, std::int64_t vertexBase,
                           MergeState& state) {
  std::optional<common::FileSource> source = common::FileSource::open(inputPath);
  if (!source) return {AppendStatus::inputFailed, 0};
  return appendObj(*source, common::fileStem(inputPath), outputPath, vertexBase, state);
}

AppendResult appendObj(common::ByteSource& source, std::string_view groupName,
                       const char* outputPath, std::int64_t vertexBase, MergeState& state) {
  // Everything that may fail before the output is touched happens first: the input's first
  // window, and room for the record, so that an input once written is always recorded. The
  // input's size is fixed now, so an output that is the input itself never reads back its own
  // appended copy.
  std::optional<common::ChunkedInput> input;
  GroupRecord record;
  if (!common::completes([&] {
        input.emplace(source).readAhead();
        record = GroupRecord{std::string(groupName), state.faceCount, 0};
        if (state.groupList.size() == state.groupList.capacity()) {
          state.groupList.reserve(std::max<std::size_t>(8, 2 * state.groupList.capacity()));
        }
      })) {
    return {AppendStatus::inputFailed, 0};
  }

  std::optional<common::OutputFile> file =
      common::OutputFile::open(outputPath, platform::WriteMode::append);
  if (!file) return {AppendStatus::outputFailed, 0};
  AppendCounts counts;
  bool flushed = false;
  // From here on bytes may have reached the output: any failure is an incomplete output, which
  // the file cuts back to what it held when it was opened.
  if (!common::completes([&] {
        common::OutputSink sink(*file);
        counts = appendObjLines(*input, record.name, vertexBase, state.texCoordBase, sink);
        flushed = sink.finish();
      })) {
    return {AppendStatus::outputFailed, 0};
  }
  const bool closed = file->close();
  if (!flushed || !closed) return {AppendStatus::outputFailed, 0};

  record.endFace = state.faceCount + counts.faces;
  state.faceCount = record.endFace;
  state.texCoordBase += counts.texCoords;
  state.groupList.push_back(std::move(record));
  state.lastVertexCount = vertexBase + counts.positions;
  return {AppendStatus::ok, *state.lastVertexCount};
}

}  // namespace mevrix::meshtools
