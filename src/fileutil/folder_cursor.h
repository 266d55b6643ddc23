#pragma once
// The folder cursor: a directory walked one entry name per call. The library keeps at most one;
// the slot that holds it is empty when no folder is open. An open cursor that has handed out
// its last name is exhausted and stays so until it is closed or replaced.

#include <cstddef>
#include <memory>
#include <span>
#include <string_view>

#include "platform/directory_reader.h"

namespace mevrix::fileutil {

// The cursor slot: null when no folder is open.
using FolderCursor = std::unique_ptr<platform::DirectoryReader>;

// Room a caller provides for one entry name with its NUL.
inline constexpr std::size_t kFileNameBufferSize = 260;

// Releases the cursor in `cursor`, if any, then opens one on `path`. Returns false, leaving no
// cursor, when `path` is null, empty, missing, not a directory or not readable.
bool openFolder(FolderCursor& cursor, const char* path);

// The results of OpenFolder, GetFile and CloseFolder.
enum class CursorResult : int {
  done = 0,       // a cursor is opened or closed; GetFile: the next name and its NUL are written
  noCursor = -1,  // OpenFolder: none could be opened; GetFile, CloseFolder: none is open
  noBuffer = -2,  // GetFile: the destination is null; nothing written, no entry consumed
  noneLeft = -3,  // GetFile: every entry has been handed out; again on every later call
};

// Writes the next entry's name with its NUL into `destination`, which has room for
// kFileNameBufferSize bytes. Every entry comes in the directory's own order: "." and "..",
// hidden entries, files and sub-directories alike. A name too long for the buffer (which no
// POSIX or Windows file system produces) is passed over rather than cut into another name.
CursorResult nextFileName(FolderCursor& cursor, char* destination);

// Releases the cursor; false when there was none.
bool closeFolder(FolderCursor& cursor);

// Copies `name` and a NUL into `destination`; false, writing nothing, when they do not fit.
bool copyFileName(std::string_view name, std::span<char, kFileNameBufferSize> destination);

}  // namespace mevrix::fileutil
