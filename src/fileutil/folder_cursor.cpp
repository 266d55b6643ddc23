#include "fileutil/folder_cursor.h"

#include <cstring>

namespace mevrix::fileutil {

bool openFolder(FolderCursor& cursor, const char* path) {
  // The old cursor goes first, so a failed open leaves none behind.
  cursor.reset();
  cursor = platform::DirectoryReader::open(path);
  return cursor != nullptr;
}

NextFileName nextFileName(FolderCursor& cursor, char* destination) {
  if (!cursor) return NextFileName::noCursor;
  if (!destination) return NextFileName::noBuffer;
  const std::span<char, kFileNameBufferSize> buffer(destination, kFileNameBufferSize);
  while (const platform::DirectoryEntry* entry = cursor->next()) {
    if (copyFileName(entry->name, buffer)) return NextFileName::written;
  }
  return NextFileName::noneLeft;
}

bool closeFolder(FolderCursor& cursor) {
  if (!cursor) return false;
  cursor.reset();
  return true;
}

bool copyFileName(std::string_view name, std::span<char, kFileNameBufferSize> destination) {
  if (name.size() >= destination.size()) return false;
  std::memcpy(destination.data(), name.data(), name.size());
  destination[name.size()] = '\0';
  return true;
}

}  // namespace mevrix::fileutil
