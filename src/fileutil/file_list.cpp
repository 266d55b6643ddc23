#include "fileutil/file_list.h"

#include <cstring>
#include <initializer_list>
#include <optional>

#include "common/path.h"

namespace mevrix::fileutil {
namespace {

// The entry that starts at `position`, or nothing when it does not end inside the list.
std::optional<std::string_view> entryAt(const FileListBuffer& list, std::size_t position) {
  if (position >= list.size()) return std::nullopt;
  const char* start = list.data() + position;
  const void* end = std::memchr(start, '\0', list.size() - position);
  if (!end) return std::nullopt;
  return std::string_view(start, static_cast<std::size_t>(static_cast<const char*>(end) - start));
}

// Name `index` (1-based) behind the first entry, stepping over one entry at a time.
std::optional<std::string_view> nameAt(const FileListBuffer& list, std::string_view first,
                                       std::int32_t index) {
  std::size_t position = first.size() + 1;
  for (std::int32_t step = 1; step < index; ++step) {
    const std::optional<std::string_view> entry = entryAt(list, position);
    if (!entry) return std::nullopt;
    position += entry->size() + 1;
  }
  return entryAt(list, position);
}

std::size_t writeJoined(std::span<char> destination,
                        std::initializer_list<std::string_view> parts) {
  std::size_t length = 0;
  for (std::string_view part : parts) length += part.size();
  if (length >= destination.size()) {
    if (!destination.empty()) destination[0] = '\0';
    return 0;
  }
  char* out = destination.data();
  for (std::string_view part : parts) {
    std::memcpy(out, part.data(), part.size());
    out += part.size();
  }
  *out = '\0';
  return length;
}

// What the count rule finds among bytes 0 to 4094: the NULs up to the first one followed by
// another, and whether there is such a pair.
struct ListScan {
  int nuls = 0;
  bool ended = false;
};

ListScan scanList(const FileListBuffer& list) {
  ListScan scan;
  const char* position = list.data();
  const char* const lastExamined = list.data() + list.size() - 2;
  while (position <= lastExamined) {
    const void* found =
        std::memchr(position, '\0', static_cast<std::size_t>(lastExamined - position) + 1);
    if (!found) break;
    position = static_cast<const char*>(found);
    ++scan.nuls;
    if (position[1] == '\0') {
      scan.ended = true;
      break;
    }
    ++position;
  }
  return scan;
}

}  // namespace

int fileCount(const FileListBuffer& list) {
  const ListScan scan = scanList(list);
  if (!scan.ended) return scan.nuls;
  return scan.nuls == 1 ? 1 : scan.nuls - 1;
}

bool endsInside(const FileListBuffer& list) {
  return scanList(list).ended;
}

std::size_t lookUpFile(const FileListBuffer& list, std::string_view selector, std::int32_t index,
                       std::span<char> destination) {
  const bool fullName = selector == "fullname";
  if (!fullName && selector != "name") return 0;
  const int count = fileCount(list);
  if (count <= 0 || index <= 0 || index > count) return 0;
  // A count of at least 1 means a NUL among the first 4095 bytes, so the first entry ends.
  const std::string_view first = *entryAt(list, 0);
  if (index == 1 && count == 1) {
    if (fullName) return writeJoined(destination, {first});
    const std::size_t separator = first.rfind(common::kPathSeparator);
    if (separator == std::string_view::npos) return 0;
    return writeJoined(destination, {first.substr(separator + 1)});
  }
  const std::optional<std::string_view> name = nameAt(list, first, index);
  if (!name) return 0;
  // The folder is joined to the name by one separator, even when it ends in one already.
  if (fullName) {
    return writeJoined(destination, {first, std::string_view(&common::kPathSeparator, 1), *name});
  }
  return writeJoined(destination, {*name});
}

}  // namespace mevrix::fileutil
