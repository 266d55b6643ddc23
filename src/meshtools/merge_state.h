#pragma once
// What an OBJ merge carries from one appended input to the next.

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace mevrix::meshtools {

// One appended input: its group name and the range of face lines it contributed.
// The counters are 64-bit so that no number of appended lines can overflow them.
struct GroupRecord {
  std::string name;
  std::int64_t firstFace = 0;
  std::int64_t endFace = 0;
};

struct MergeState {
  std::vector<GroupRecord> groupList;
  std::int64_t texCoordBase = 0;  // texture-coordinate lines appended since the last clear
  std::int64_t faceCount = 0;     // face lines processed since the last clear
  // The exact vertex count the last successful append returned since the last clear. Its
  // result reaches the script as a float, which from 2^24 on may round it.
  std::optional<std::int64_t> lastVertexCount;

  void clear() noexcept {
    groupList.clear();
    texCoordBase = 0;
    faceCount = 0;
    lastVertexCount.reset();
  }

  // The vertex base of an append that was passed `value`, which converts to the integer
  // `converted`: the last append's exact count when `value` is that count as its float result
  // gives it back (the script passed the result on, as a merge does), else `converted`.
  std::int64_t vertexBaseFor(double value, std::int32_t converted) const {
    if (lastVertexCount && value == static_cast<double>(static_cast<float>(*lastVertexCount))) {
      return *lastVertexCount;
    }
    return converted;
  }
};

}  // namespace mevrix::meshtools
