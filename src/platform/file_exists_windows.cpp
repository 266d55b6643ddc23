// Through the 8-bit call, so that a path is examined exactly as the ANSI dialog handed it back:
// a name that the code page could not hold comes back changed and is then not found.

#include "platform/file_exists.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mevrix::platform {

bool namesExistingFile(const char* path) {
  if (!path) return false;
  const DWORD attributes = GetFileAttributesA(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

}  // namespace mevrix::platform
