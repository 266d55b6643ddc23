#pragma once
// What an OBJ merge carries from one appended input to the next.

#include <cstdint>
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

  void clear() noexcept {
    groupList.clear();
    texCoordBase = 0;
    faceCount = 0;
  }
};

}  // namespace mevrix::meshtools
