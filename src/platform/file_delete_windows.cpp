// Deleting one file on Windows. DeleteFileA itself never removes a directory; the attribute test
// also keeps directory links and junctions (which carry the directory attribute) and devices out.

#include "platform/file_delete.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mevrix::platform {

bool deleteFile(const char* path) {
  if (!path) return false;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES) return false;
  if ((attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) != 0) return false;
  // A file symbolic link goes itself, never its target. A read-only file, or one that another
  // program has open without sharing deletion, is refused by the system.
  return DeleteFileA(path) != FALSE;
}

}  // namespace mevrix::platform
