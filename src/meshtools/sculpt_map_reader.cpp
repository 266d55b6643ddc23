#include "meshtools/sculpt_map_reader.h"

#include <cstring>

#include "common/number_scan.h"

namespace mevrix::meshtools {
namespace {

using common::scanFloat;
using common::scanInt;

constexpr std::size_t kTypicalLineBytes = 32;

// Reads `count` numbers from the line at `p`, one after the other as stream extraction from
// that line alone would; false when one is missing or unreadable. Returns where reading
// stopped, never beyond the line's line feed: blanks are skipped here only up to the line feed,
// and a scan that starts on something else than white space reads only number characters.
const char* scanLineFloats(const char* p, const char* end, float* values, int count, bool& ok) {
  for (int i = 0; i < count; ++i) {
    while (p != end && *p != '\n' && common::isStreamSpace(*p)) ++p;
    if (p == end || *p == '\n') {
      ok = false;
      return p;
    }
    const auto scanned = scanFloat(p, end, values[i]);
    p = scanned.next;
    if (!scanned.ok) {
      ok = false;
      return p;
    }
  }
  ok = true;
  return p;
}

// Face lines are read straight from the text up to their line feed. Corner tokens are separated
// by spaces (only spaces); inside a token "/" separates numbers just as white space does.
bool endsToken(const char* p, const char* end) {
  return p == end || *p == ' ' || *p == '\n';
}

// Where the line ends: at its line feed, or at a carriage return just before it.
bool endsLine(const char* p, const char* end) {
  return p == end || *p == '\n' || (*p == '\r' && end - p >= 2 && p[1] == '\n');
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
  for (std::int32_t& number : numbers) {
    p = skipInsideToken(p, end);
    // Standing on neither white space nor "/", the scan cannot run into the next token.
    if (endsToken(p, end)) {
      ok = false;
      return p;
    }
    const auto scanned = scanInt(p, end, number);
    p = scanned.next;
    if (!scanned.ok || number < 1) {
      ok = false;
      return tokenEnd(p, end);
    }
  }
  position = numbers[0] - 1;
  texCoord = numbers[1] - 1;
  return tokenEnd(p, end);
}

// The corners of the face line whose text behind "f " starts at `p`; a run of spaces is one
// separator and no token is empty. Returns where reading stopped: at the line feed when `ok`.
const char* readFace(const char* p, const char* end, SculptFace& face, bool& ok) {
  face = SculptFace{};
  std::size_t corners = 0;
  ok = false;
  for (;;) {
    while (p != end && *p == ' ') ++p;
    if (endsLine(p, end)) break;
    if (corners == 4) return p;
    bool cornerOk = false;
    p = readCorner(p, end, face.position[corners], face.texCoord[corners], cornerOk);
    if (!cornerOk) return p;
    ++corners;
  }
  if (corners < 3) return p;
  face.cornerCount = static_cast<std::int32_t>(corners);
  ok = true;
  return p;
}

// Each reads the numbers of its line from `p` on and returns where it stopped.
const char* readPosition(const char* p, const char* end, SculptMesh& mesh) {
  float xyz[3];
  bool ok = false;
  p = scanLineFloats(p, end, xyz, 3, ok);
  if (!ok) {
    mesh.wellFormed = false;
    return p;
  }
  for (float c : xyz) {
    if (c > mesh.maxCoord) mesh.maxCoord = c;
    if (c < mesh.minCoord) mesh.minCoord = c;
  }
  mesh.positions.push_back({xyz[0], xyz[1], xyz[2]});
  return p;
}

const char* readTexCoord(const char* p, const char* end, SculptMesh& mesh) {
  float uv[2];
  bool ok = false;
  p = scanLineFloats(p, end, uv, 2, ok);
  if (!ok) {
    mesh.wellFormed = false;
    return p;
  }
  mesh.texCoords.push_back({mesh.distinctU.add(uv[0]), mesh.distinctV.add(uv[1])});
  return p;
}

const char* lineFeed(const char* p, const char* end) {
  if (p == end || *p == '\n') return p;  // where reading a line usually stops
  const void* feed = std::memchr(p, '\n', static_cast<std::size_t>(end - p));
  return feed ? static_cast<const char*>(feed) : end;
}

}  // namespace

SculptMesh readSculptMesh(std::string_view text) {
  SculptMesh mesh;
  // The numbers of positions and texture coordinates are read straight from the text, and only
  // the rest of their line is searched for its end: most of the text is looked at once.
  const char* p = text.data();
  const char* const end = text.data() + text.size();
  const char* firstFace = nullptr;
  const char* lastFaceEnd = nullptr;
  // Room for more of each than a mesh text of this size usually holds (a vertex takes some 100
  // bytes with its texture coordinate and face), so the lists rarely have to move while they
  // grow; reserved room that is never written costs no memory.
  mesh.positions.reserve(text.size() / kTypicalLineBytes);
  mesh.texCoords.reserve(text.size() / kTypicalLineBytes);
  while (p != end) {
    const char first = *p;
    const char second = end - p >= 2 ? p[1] : '\n';
    if (first == 'v' && second == ' ') {
      p = lineFeed(readPosition(p + 2, end, mesh), end);
    } else if (first == 'v' && second == 't') {
      p = lineFeed(readTexCoord(p + 2, end, mesh), end);
    } else if (first == 'f' && second == ' ') {
      ++mesh.faceLines;
      if (!firstFace) firstFace = p;
      p = lineFeed(p, end);
      lastFaceEnd = p == end ? end : p + 1;
    } else {
      p = lineFeed(p, end);
    }
    if (p != end) ++p;  // the line feed
  }
  if (firstFace) mesh.faceText = std::string_view(firstFace, lastFaceEnd - firstFace);
  return mesh;
}

bool SculptFaceReader::next(SculptFace& face) {
  while (!malformed_ && p_ != end_) {
    const bool isFace = end_ - p_ >= 2 && p_[0] == 'f' && p_[1] == ' ';
    if (!isFace) {
      p_ = lineFeed(p_, end_);
      if (p_ != end_) ++p_;
      continue;
    }
    bool good = false;
    p_ = readFace(p_ + 2, end_, face, good);
    for (std::int32_t k = 0; good && k < face.cornerCount; ++k) {
      good = static_cast<std::size_t>(face.position[k]) < positions_ &&
             static_cast<std::size_t>(face.texCoord[k]) < texCoords_;
    }
    if (!good) {
      malformed_ = true;
      return false;
    }
    p_ = lineFeed(p_, end_);
    if (p_ != end_) ++p_;
    return true;
  }
  return false;
}

}  // namespace mevrix::meshtools
