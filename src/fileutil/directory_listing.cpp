#include "fileutil/directory_listing.h"

#include <array>
#include <cstring>

#include "common/path.h"
#include "platform/directory_reader.h"

namespace mevrix::fileutil {

int listDirectory(FileListBuffer& list, std::string_view directory, bool subdirectories) {
  if (directory.empty()) return 0;
  list.fill('\0');

  // The folder with one separator behind it: the system searches it with "*" added.
  const bool endsWithSeparator = directory.back() == common::kPathSeparator;
  const std::size_t pathLength = directory.size() + (endsWithSeparator ? 0 : 1);
  if (pathLength + 1 >= kSearchPatternSize) return 0;
  std::array<char, kSearchPatternSize> path{};
  std::memcpy(path.data(), directory.data(), directory.size());
  path[pathLength - 1] = common::kPathSeparator;
  const auto reader = platform::DirectoryReader::open(path.data());
  if (!reader) return 0;

  // Names go behind the folder entry, which is written once it is known whether there are any
  // names and whether there is just one.
  const std::string_view folder =
      endsWithSeparator ? directory.substr(0, directory.size() - 1) : directory;
  std::size_t position = folder.size() + 1;
  int count = 0;
  while (const platform::DirectoryEntry* entry = reader->next()) {
    if (entry->directory != subdirectories || entry->hidden || entry->system) continue;
    const std::size_t size = std::strlen(entry->name) + 1;
    // The list's closing empty entry must fit behind the last name.
    if (position + size >= list.size()) break;
    std::memcpy(list.data() + position, entry->name, size);
    position += size;
    ++count;
  }
  if (count == 0) return 0;
  std::memcpy(list.data(), folder.data(), folder.size());
  // One match: the folder, a separator and the name make a single path.
  list[folder.size()] = count == 1 ? common::kPathSeparator : '\0';
  return count;
}

}  // namespace mevrix::fileutil
