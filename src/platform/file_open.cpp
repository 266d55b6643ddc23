#include "platform/file_open.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#include <share.h>
#endif

namespace mevrix::platform {

std::FILE* openForReading(const char* path) {
#ifdef _WIN32
  return _fsopen(path, "rb", _SH_DENYNO);
#else
  return std::fopen(path, "rbe");
#endif
}

std::FILE* openForWriting(const char* path, WriteMode mode) {
  const bool append = mode == WriteMode::append;
#ifdef _WIN32
  return _fsopen(path, append ? "ab" : "wb", _SH_DENYNO);
#else
  return std::fopen(path, append ? "abe" : "wbe");
#endif
}

std::optional<std::uint64_t> regularFileSize(std::FILE* file) {
#ifdef _WIN32
  struct _stat64 info;
  if (_fstat64(_fileno(file), &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) {
    return std::nullopt;
  }
#else
  struct stat info;
  if (fstat(fileno(file), &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
#endif
  return static_cast<std::uint64_t>(info.st_size);
}

}  // namespace mevrix::platform
