#include "platform/file_exists.h"

#include <sys/stat.h>

namespace mevrix::platform {

bool namesExistingFile(const char* path) {
  struct stat info;
  return path && stat(path, &info) == 0 && !S_ISDIR(info.st_mode);
}

}  // namespace mevrix::platform
