#include "platform/file_open.h"

#include <sys/stat.h>
#include <sys/types.h>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <io.h>
#include <share.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>
#endif

namespace mevrix::platform {
namespace {

#ifdef _WIN32
int descriptorOf(std::FILE* file) {
  return _fileno(file);
}
int duplicateDescriptor(int fd) {
  return _dup(fd);
}
void closeDescriptor(int fd) {
  _close(fd);
}
bool truncateDescriptor(int fd, std::uint64_t size) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE || size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER offset;
  offset.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(handle, offset, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}
#else
int descriptorOf(std::FILE* file) {
  return fileno(file);
}
int duplicateDescriptor(int fd) {
  return fcntl(fd, F_DUPFD_CLOEXEC, 0);
}
void closeDescriptor(int fd) {
  close(fd);
}
bool truncateDescriptor(int fd, std::uint64_t size) {
  if (size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return ftruncate(fd, static_cast<off_t>(size)) == 0;
}
#endif

}  // namespace

FileHandle openForReading(const char* path) {
#ifdef _WIN32
  return FileHandle(_fsopen(path, "rb", _SH_DENYNO));
#else
  // Opening a FIFO for reading would wait for a writer, maybe forever; opened without waiting,
  // it is there at once for the caller to examine (and refuse). Reads then block as usual.
  const int fd = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return nullptr;
  const int flags = fcntl(fd, F_GETFL);
  FileHandle file;
  if (flags >= 0 && fcntl(fd, F_SETFL, flags & ~O_NONBLOCK) == 0) file.reset(fdopen(fd, "rb"));
  if (!file) close(fd);
  return file;
#endif
}

FileHandle openForWriting(const char* path, WriteMode mode) {
  const bool append = mode == WriteMode::append;
#ifdef _WIN32
  return FileHandle(_fsopen(path, append ? "ab" : "wb", _SH_DENYNO));
#else
  return FileHandle(std::fopen(path, append ? "abe" : "wbe"));
#endif
}

bool closeFile(FileHandle& file) {
  if (!file) return false;
  bool good = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  if (std::fclose(file.release()) != 0) good = false;
  return good;
}

bool closeFileOrCutBack(FileHandle& file, std::uint64_t size) {
  if (!file) return false;
  if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
    truncateFile(file.get(), size);
    std::fclose(file.release());
    return false;
  }
  // A close can still report a write that failed late (on a network file system, say): a second
  // descriptor of the same file keeps it open for cutting back then.
  const int spare = duplicateDescriptor(descriptorOf(file.get()));
  const bool closed = std::fclose(file.release()) == 0;
  if (spare >= 0) {
    if (!closed) truncateDescriptor(spare, size);
    closeDescriptor(spare);
  }
  return closed;
}

bool truncateFile(std::FILE* file, std::uint64_t size) {
  return truncateDescriptor(descriptorOf(file), size);
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

bool seekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  static_assert(sizeof(off_t) >= 8, "file offsets must reach beyond 4 GB");
  if (offset > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace mevrix::platform
