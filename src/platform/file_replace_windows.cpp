#include "platform/file_replace.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

namespace mevrix::platform {

std::optional<Replacement> createReplacement(const char* path) {
  const char* separator = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') separator = p;
  }
  const std::string folder = separator ? std::string(path, separator + 1) : std::string();
  // A name that no other file has: try a few, as an exclusive create tells.
  const unsigned long seed = GetCurrentProcessId() ^ GetTickCount();
  for (unsigned long attempt = 0; attempt < 100; ++attempt) {
    char unique[32];
    std::snprintf(unique, sizeof unique, "mevrix-%08lx.tmp", (seed + attempt * 7919) & 0xFFFFFFFF);
    std::string name = folder + unique;
    const int fd = _open(name.c_str(), _O_WRONLY | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT,
                         _S_IREAD | _S_IWRITE);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      return std::nullopt;
    }
    FileHandle file(_fdopen(fd, "wb"));
    if (!file) {
      _close(fd);
      DeleteFileA(name.c_str());
      return std::nullopt;
    }
    return Replacement{std::move(file), std::move(name), path};
  }
  return std::nullopt;
}

bool commitReplacement(const std::string& temporaryPath, const std::string& targetPath) {
  if (MoveFileExA(temporaryPath.c_str(), targetPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    return true;
  }
  discardReplacement(temporaryPath);
  return false;
}

void discardReplacement(const std::string& temporaryPath) {
  DeleteFileA(temporaryPath.c_str());
}

}  // namespace mevrix::platform
