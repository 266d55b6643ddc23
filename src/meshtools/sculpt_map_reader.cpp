#include "meshtools/sculpt_map_reader.h"

#include <string_view>

#include "common/number_scan.h"

namespace mevrix::meshtools {
namespace {

using common::scanFloat;
using common::scanInt;

// Reads `count` numbers from `p` on, one after the other as stream extraction from the line
// alone would; false when one is missing or unreadable.
bool scanLineFloats(const char* p, const char* end, float* values, int count) {
  for (int i = 0; i < count; ++i) {
    while (p != end && common::isStreamSpace(*p)) ++p;
    if (p == end) return false;
    const auto scanned = scanFloat(p, end, values[i]);
    p = scanned.next;
    if (!scanned.ok) return false;
  }
  return true;
}

// Corner tokens are separated by spaces (only spaces); inside a token "/" separates numbers just
// as white space does.
bool endsToken(const char* p, const char* end) {
  return p == end || *p == ' ';
}

const char* skipInsideToken(const char* p, const char* end) {
  while (!endsToken(p, end) && (*p == '/' || common::isStreamSpace(*p))) ++p;
  return p;
}

const char* tokenEnd(const char* p, const char* end) {
  while (!endsToken(p, end)) ++p;
  return p;
}

// Reads the corner token at `p`: its first two numbers, 1-based as written ("5/7", "5/7/2" and
// "5//2" all work), stored 0-based. `ok` is false when there are fewer than two or one is not a
// positive number. Returns the end of the token.
const char* readCorner(const char* p, const char* end, std::int32_t& position,
                       std::int32_t& texCoord, bool& ok) {
  std::int32_t numbers[2];
  ok = true;
  // The common corner "12/34" of positive numbers, read in one go.
  if (const char* q = p; common::scanPlainCorner(q, end, false, numbers[0], numbers[1]) &&
                         numbers[0] >= 1 && numbers[1] >= 1) {
    position = numbers[0] - 1;
    texCoord = numbers[1] - 1;
    return q;
  }
  for (std::int32_t& number : numbers) {
    p = skipInsideToken(p, end);
    // Standing on neither white space nor "/", the scan cannot run into the next token.
    if (endsToken(p, end)) {
      ok = false;
      return p;
    }
    // Plain digits, the common case, are read without the general scanner's call.
    if (!common::scanShortDigits(p, end, number)) {
      const auto scanned = scanInt(p, end, number);
      p = scanned.next;
      if (!scanned.ok) number = 0;
    }
    if (number < 1) {
      ok = false;
      return tokenEnd(p, end);
    }
  }
  position = numbers[0] - 1;
  texCoord = numbers[1] - 1;
  return tokenEnd(p, end);
}

// The corners of a face line's text behind "f "; a run of spaces is one separator and no token
// is empty. False for a malformed face.
bool readFace(const char* p, const char* end, SculptFace& face) {
  face = SculptFace{};
  std::size_t corners = 0;
  for (;;) {
    while (p != end && *p == ' ') ++p;
    if (p == end) break;
    if (corners == 4) return false;
    bool cornerOk = false;
    p = readCorner(p, end, face.position[corners], face.texCoord[corners], cornerOk);
    if (!cornerOk) return false;
    ++corners;
  }
  if (corners < 3) return false;
  face.cornerCount = static_cast<std::int32_t>(corners);
  return true;
}

void readPosition(std::string_view numbers, SculptMesh& mesh) {
  float xyz[3];
  if (!scanLineFloats(numbers.data(), numbers.data() + numbers.size(), xyz, 3)) {
    mesh.wellFormed = false;
    return;
  }
  for (float c : xyz) {
    if (c > mesh.maxCoord) mesh.maxCoord = c;
    if (c < mesh.minCoord) mesh.minCoord = c;
  }
  mesh.positions.push_back({xyz[0], xyz[1], xyz[2]});
}

void readTexCoord(std::string_view numbers, SculptMesh& mesh) {
  float uv[2];
  if (!scanLineFloats(numbers.data(), numbers.data() + numbers.size(), uv, 2)) {
    mesh.wellFormed = false;
    return;
  }
  mesh.texCoords.push_back({mesh.distinctU.add(uv[0]), mesh.distinctV.add(uv[1])});
}

bool isFaceLine(std::string_view line) {
  return line.size() >= 2 && line[0] == 'f' && line[1] == ' ';
}

}  // namespace

SculptMesh readSculptMesh(common::ChunkedInput& input) {
  SculptMesh mesh;
  input.rewind();
  std::string_view line;
  while (input.nextLine(line)) {
    if (line.size() < 2) continue;
    if (line[0] == 'v' && line[1] == ' ') {
      readPosition(line.substr(2), mesh);
    } else if (line[0] == 'v' && line[1] == 't') {
      readTexCoord(line.substr(2), mesh);
    } else if (isFaceLine(line)) {
      if (mesh.faceLines++ == 0) mesh.firstFaceOffset = input.lineOffset();
    }
  }
  return mesh;
}

SculptFaceReader::SculptFaceReader(common::ChunkedInput& input, const SculptMesh& mesh)
    : input_(input),
      facesLeft_(mesh.faceLines),
      positions_(mesh.positions.size()),
      texCoords_(mesh.texCoords.size()) {
  if (facesLeft_ != 0) input_.rewind(mesh.firstFaceOffset);
}

bool SculptFaceReader::next(SculptFace& face) {
  if (malformed_ || facesLeft_ == 0) return false;
  std::string_view line;
  do {
    // The face lines counted in the first pass must all be there again.
    if (!input_.nextLine(line)) throw common::ReadError();
  } while (!isFaceLine(line));
  --facesLeft_;
  bool good = readFace(line.data() + 2, line.data() + line.size(), face);
  for (std::int32_t k = 0; good && k < face.cornerCount; ++k) {
    good = static_cast<std::size_t>(face.position[k]) < positions_ &&
           static_cast<std::size_t>(face.texCoord[k]) < texCoords_;
  }
  if (!good) {
    malformed_ = true;
    return false;
  }
  return true;
}

}  // namespace mevrix::meshtools
