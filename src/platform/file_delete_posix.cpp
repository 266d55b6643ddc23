#include "platform/file_delete.h"

#include <sys/stat.h>
#include <unistd.h>

namespace mevrix::platform {

bool deleteFile(const char* path) {
  // C's remove() would also delete an empty directory; unlink() never does, and the check
  // keeps device nodes and FIFOs out of reach even for a privileged caller.
  struct stat info;
  if (!path || lstat(path, &info) != 0) return false;
  if (!S_ISREG(info.st_mode) && !S_ISLNK(info.st_mode)) return false;
  return unlink(path) == 0;
}

}  // namespace mevrix::platform
