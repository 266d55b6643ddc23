#include "platform/file_replace.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdio>

namespace mevrix::platform {
namespace {

enum class Target { absent, replaceable, other };

// Whether `path` names a writable regular file, nothing yet, or something else: a folder, a
// device such as NUL or COM1, a read-only file, or a path the system refuses.
Target examine(const char* path) {
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    return GetLastError() == ERROR_FILE_NOT_FOUND ? Target::absent : Target::other;
  }
  BY_HANDLE_FILE_INFORMATION info;
  const bool regular =
      GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_READONLY)) == 0;
  CloseHandle(handle);
  return regular ? Target::replaceable : Target::other;
}

ReplacementAttempt noReplacement(NoReplacement reason) {
  return {std::nullopt, reason};
}

}  // namespace

ReplacementAttempt createReplacement(const char* path) {
  if (!path || !*path || examine(path) == Target::other) {
    return noReplacement(NoReplacement::writeInPlace);
  }
  const char* separator = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') separator = p;
  }
  if (separator && separator[1] == '\0') return noReplacement(NoReplacement::writeInPlace);
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
      return noReplacement(errno == EACCES ? NoReplacement::writeInPlace : NoReplacement::failed);
    }
    FileHandle file(_fdopen(fd, "wb"));
    if (!file) {
      _close(fd);
      DeleteFileA(name.c_str());
      return noReplacement(NoReplacement::failed);
    }
    return {Replacement{std::move(file), std::move(name), path}, {}};
  }
  return noReplacement(NoReplacement::failed);
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
