// The sculpt-map converter from OBJ text to the bytes of the BMP file, in memory, against a plain
// reference that reads the lines with string streams, keeps the distinct texture values in sets
// and places the corners one face at a time: the result must agree, nothing may be written unless
// a map is, and a written image must hold exactly the reference's pixels. The input's first byte
// picks how the text is read in windows.

#include <array>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz_support.h"
#include "meshtools/sculpt_map.h"

namespace {

using mevrix::fuzz::check;
using mevrix::meshtools::SculptResult;

std::uint32_t readU32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (std::size_t i = 0; i < 4; ++i) {
    value |= std::uint32_t{static_cast<unsigned char>(bytes[offset + i])} << (8 * i);
  }
  return value;
}

// `count` floats extracted from `text` alone, or nothing.
bool streamFloats(std::string_view text, float* values, int count) {
  std::istringstream stream{std::string(text)};
  for (int i = 0; i < count; ++i) {
    if (!(stream >> values[i])) return false;
  }
  return true;
}

// The two numbers of a corner token, 1-based, with "/" read like white space; false unless both
// are there and positive.
bool streamCorner(std::string token, int& position, int& texCoord) {
  for (char& c : token) {
    if (c == '/') c = ' ';
  }
  std::istringstream stream(token);
  return stream >> position >> texCoord && position >= 1 && texCoord >= 1;
}

struct Reference {
  SculptResult result = SculptResult::written;
  std::uint32_t width = 0;
  std::uint32_t height = 0;
  std::vector<std::uint8_t> pixels;  // blue, green, red; row 0 first
};

Reference referenceMap(std::string_view obj) {
  std::vector<std::array<float, 3>> positions;
  std::vector<std::array<float, 2>> texCoords;
  std::vector<std::string_view> faces;
  bool wellFormed = true;
  float maxCoord = 0;
  float minCoord = 0;
  for (const std::string_view line : mevrix::fuzz::referenceLines(obj)) {
    if (line.starts_with("v ")) {
      std::array<float, 3> p{};
      if (!streamFloats(line.substr(2), p.data(), 3)) {
        wellFormed = false;
        continue;
      }
      for (float c : p) {
        maxCoord = std::max(maxCoord, c);
        minCoord = std::min(minCoord, c);
      }
      positions.push_back(p);
    } else if (line.starts_with("vt")) {
      std::array<float, 2> t{};
      if (streamFloats(line.substr(2), t.data(), 2)) {
        texCoords.push_back(t);
      } else {
        wellFormed = false;
      }
    } else if (line.starts_with("f ")) {
      faces.push_back(line.substr(2));
    }
  }

  Reference map;
  std::set<float> us;
  std::set<float> vs;
  for (const auto& t : texCoords) {
    us.insert(t[0]);
    vs.insert(t[1]);
  }
  if (us.empty() || vs.empty() || (us.size() - 1) * (vs.size() - 1) != faces.size()) {
    map.result = SculptResult::notAGrid;
    return map;
  }
  if (us.size() > 1025 || vs.size() > 1025) {
    map.result = SculptResult::tooLarge;
    return map;
  }
  if (!wellFormed) {
    map.result = SculptResult::malformedMesh;
    return map;
  }
  map.width = static_cast<std::uint32_t>(2 * (us.size() - 1));
  map.height = static_cast<std::uint32_t>(2 * (vs.size() - 1));
  map.pixels.assign(std::size_t{map.width} * map.height * 3, 0);
  const mevrix::meshtools::ChannelScale scale(maxCoord, minCoord);
  const auto rank = [](const std::set<float>& values, float value) {
    return static_cast<int>(std::distance(values.begin(), values.find(value)));
  };
  for (const std::string_view face : faces) {
    const std::vector<std::string_view> tokens = mevrix::fuzz::words(face);
    if (tokens.size() < 3 || tokens.size() > 4) {
      map = Reference{SculptResult::malformedMesh, 0, 0, {}};
      return map;
    }
    int column[4] = {};
    int row[4] = {};
    int position[4] = {};
    for (std::size_t k = 0; k < tokens.size(); ++k) {
      int texCoord = 0;
      if (!streamCorner(std::string(tokens[k]), position[k], texCoord) ||
          static_cast<std::size_t>(position[k]) > positions.size() ||
          static_cast<std::size_t>(texCoord) > texCoords.size()) {
        map = Reference{SculptResult::malformedMesh, 0, 0, {}};
        return map;
      }
      column[k] = 2 * rank(us, texCoords[texCoord - 1][0]);
      row[k] = 2 * rank(vs, texCoords[texCoord - 1][1]);
    }
    if (tokens.size() == 3) {
      column[3] = column[2];
      row[3] = row[0];
    }
    const auto stepBack = [](int& first, int& second) { (first < second ? second : first) -= 1; };
    stepBack(row[0], row[1]);
    stepBack(row[3], row[2]);
    stepBack(column[0], column[3]);
    stepBack(column[1], column[2]);
    for (std::size_t k = 0; k < tokens.size(); ++k) {
      if (column[k] < 0 || row[k] < 0 || column[k] >= static_cast<int>(map.width) ||
          row[k] >= static_cast<int>(map.height)) {
        continue;
      }
      const auto& p = positions[static_cast<std::size_t>(position[k] - 1)];
      std::uint8_t* pixel =
          &map.pixels[(static_cast<std::size_t>(row[k]) * map.width + column[k]) * 3];
      pixel[0] = static_cast<std::uint8_t>(scale(p[2]) & 0xFF);
      pixel[1] = static_cast<std::uint8_t>(scale(p[1]) & 0xFF);
      pixel[2] = static_cast<std::uint8_t>(scale(p[0]) & 0xFF);
    }
  }
  return map;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  mevrix::fuzz::FuzzInput input(data, size);
  const std::uint8_t selector = input.byte();
  const std::string_view obj = input.rest();
  mevrix::fuzz::ChunkedBytes text(obj, selector);
  mevrix::meshtools::MemoryMapOutput output;
  const SculptResult result = mevrix::meshtools::convertToSculptMap(text.input(), output);
  const std::string_view image = output.bytes();

  const Reference expected = referenceMap(obj);
  check(result == expected.result);
  if (result != SculptResult::written) {
    check(image.empty());
    return 0;
  }
  check(image.size() >= 54 && image.substr(0, 2) == "BM");
  const std::uint32_t width = readU32(image, 18);
  const std::uint32_t height = readU32(image, 22);
  check(width == expected.width && height == expected.height);
  const std::size_t rowBytes = (3 * std::size_t{width} + 3) / 4 * 4;
  check(image.size() == 54 + rowBytes * height);
  check(readU32(image, 2) == image.size());
  check(readU32(image, 34) == rowBytes * height);
  for (std::uint32_t row = 0; row < height; ++row) {
    const std::string_view pixels = image.substr(54 + row * rowBytes, 3 * std::size_t{width});
    const auto* want = expected.pixels.data() + std::size_t{row} * width * 3;
    check(pixels == std::string_view(reinterpret_cast<const char*>(want), 3 * std::size_t{width}));
  }
  return 0;
}
