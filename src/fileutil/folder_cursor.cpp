#include "fileutil/folder_cursor.h"

#include <cstring>

namespace mevrix::fileutil {

bool openFolder(FolderCursor& cursor, const char* path) {
  // The old cursor goes first, so a failed open leaves none behind.
  cursor.reset();
  cursor = platform::DirectoryReader::open(path);
  return cursor != nullptr;
}

CursorResult nextFileName(FolderCursor& cursor, char* destination) {
  if (!cursor) return CursorResult::noCursor;
  if (!destination) return CursorResult::noBuffer;
  const std::span<char, kFileNameBufferSize> buffer(destination, kFileNameBufferSize);
  while (const platform::DirectoryEntry* entry = cursor->next()) {
    if (copyFileName(entry->name, buffer)) return CursorResult::done;
  }
  return CursorResult::noneLeft;
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
