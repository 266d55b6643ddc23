#include "platform/file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>

namespace mevrix::platform {

std::optional<Replacement> createReplacement(const char* path) {
  // The file a symbolic link leads to is the one replaced.
  char* resolved = realpath(path, nullptr);
  if (!resolved) return std::nullopt;
  std::string target(resolved);
  std::free(resolved);
  std::string name = target.substr(0, target.rfind('/') + 1);
  // A hidden name of fixed length, whatever the length of the replaced file's name.
  name += ".mevrix-XXXXXX";
  const int fd = mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  struct stat replaced;
  if (stat(target.c_str(), &replaced) == 0) fchmod(fd, replaced.st_mode & 07777);
  FileHandle file(fdopen(fd, "wb"));
  if (!file) {
    close(fd);
    unlink(name.c_str());
    return std::nullopt;
  }
  return Replacement{std::move(file), std::move(name), std::move(target)};
}

bool commitReplacement(const std::string& temporaryPath, const std::string& targetPath) {
  if (std::rename(temporaryPath.c_str(), targetPath.c_str()) == 0) return true;
  discardReplacement(temporaryPath);
  return false;
}

void discardReplacement(const std::string& temporaryPath) {
  unlink(temporaryPath.c_str());
}

}  // namespace mevrix::platform
