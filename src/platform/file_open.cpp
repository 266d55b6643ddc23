#include "platform/file_open.h"

#include <sys/stat.h>
#include <sys/types.h>

#include <cerrno>
#include <string>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <windows.h>
#else
#include <fcntl.h>
#include <unistd.h>

#include "platform/output_location_posix.h"
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
std::optional<std::uint64_t> descriptorSize(int fd) {
  struct _stat64 info;
  if (_fstat64(fd, &info) != 0 || (info.st_mode & _S_IFMT) != _S_IFREG) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}
bool truncateDescriptor(int fd, std::uint64_t size) {
  const auto handle = reinterpret_cast<HANDLE>(_get_osfhandle(fd));
  if (handle == INVALID_HANDLE_VALUE || size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  LARGE_INTEGER offset;
  offset.QuadPart = static_cast<LONGLONG>(size);
  return SetFilePointerEx(handle, offset, nullptr, FILE_BEGIN) && SetEndOfFile(handle);
}
int openDescriptor(const char* path, int flags) {
  // A read-only file is never written, also where the system would let this process do it
  // (Wine run by root).
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY) != 0) {
    errno = EACCES;
    return -1;
  }
  return _sopen(path, flags | _O_WRONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO,
                _S_IREAD | _S_IWRITE);
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
std::optional<std::uint64_t> descriptorSize(int fd) {
  struct stat info;
  if (fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) return std::nullopt;
  return static_cast<std::uint64_t>(info.st_size);
}
bool truncateDescriptor(int fd, std::uint64_t size) {
  if (size > static_cast<std::uint64_t>(INT64_MAX)) return false;
  return ftruncate(fd, static_cast<off_t>(size)) == 0;
}
// Opens without waiting, then lets reads and writes block as usual: opening a FIFO waits for the
// program at its other end, maybe forever. Without waiting, a FIFO opened for reading is there at
// once for the caller to examine (and refuse), and one opened for writing that no program reads
// fails at once (ENXIO).
int openWithoutWaiting(const char* path, int flags) {
  const int fd = open(path, flags | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
  if (fd < 0) return fd;
  const int status = fcntl(fd, F_GETFL);
  if (status < 0 || fcntl(fd, F_SETFL, status & ~O_NONBLOCK) != 0) {
    close(fd);
    return -1;
  }
  return fd;
}
int openDescriptor(const char* path, int flags) {
  return openWithoutWaiting(path, flags | O_WRONLY);
}
#endif

// Both systems' C runtimes know fdopen and the O_ names (on Windows beside _fdopen and _O_).
std::FILE* streamOn(int fd, bool append) {
  return fdopen(fd, append ? "ab" : "wb");
}

// The name under which a file opened through `path` is created: the end of a chain of symbolic
// links there, or `path` itself.
std::string creationName(const char* path) {
#ifdef _WIN32
  return path;
#else
  return linkChainEnd(path);
#endif
}

// Opens the file to append to, telling which file this made, if any: opened where it is, or else
// created where nothing is, also behind a dangling symbolic link, which an exclusive creation of
// the link's own name refuses.
int openForAppending(const char* path, std::string& created) {
  created.clear();
  for (int attempt = 0; attempt < 3; ++attempt) {
    int fd = openDescriptor(path, O_APPEND);
    if (fd >= 0 || errno != ENOENT) return fd;
    const std::string name = creationName(path);
    fd = openDescriptor(name.c_str(), O_APPEND | O_CREAT | O_EXCL);
    if (fd >= 0) {
      created = name;
      return fd;
    }
    if (errno != EEXIST) return fd;
  }
  return openDescriptor(path, O_APPEND | O_CREAT);
}

bool cutBackDescriptor(int fd, std::uint64_t size, std::uint64_t expected) {
  const std::optional<std::uint64_t> now = descriptorSize(fd);
  return now && *now >= size && *now <= expected && truncateDescriptor(fd, size);
}

}  // namespace

FileHandle openForReading(const char* path) {
#ifdef _WIN32
  return FileHandle(_fsopen(path, "rb", _SH_DENYNO));
#else
  const int fd = openWithoutWaiting(path, O_RDONLY);
  if (fd < 0) return nullptr;
  FileHandle file(fdopen(fd, "rb"));
  if (!file) close(fd);
  return file;
#endif
}

FileHandle openForWriting(const char* path, WriteMode mode, std::string* created) {
  const bool append = mode == WriteMode::append;
  std::string made;
  const int fd = append ? openForAppending(path, made) : openDescriptor(path, O_TRUNC | O_CREAT);
  if (created) *created = std::move(made);
  if (fd < 0) return nullptr;
  FileHandle file(streamOn(fd, append));
  if (!file) closeDescriptor(fd);
  return file;
}

FileHandle streamOnDuplicate(int fd) {
  const int duplicate = duplicateDescriptor(fd);
  if (duplicate < 0) return nullptr;
  FileHandle file(streamOn(duplicate, false));
  if (!file) closeDescriptor(duplicate);
  return file;
}

bool closeFile(FileHandle& file) {
  if (!file) return false;
  bool good = std::fflush(file.get()) == 0 && !std::ferror(file.get());
  if (std::fclose(file.release()) != 0) good = false;
  return good;
}

bool cutBack(std::FILE* file, std::uint64_t size, std::uint64_t expected) {
  return cutBackDescriptor(descriptorOf(file), size, expected);
}

bool closeFileOrCutBack(FileHandle& file, std::uint64_t size, std::uint64_t expected, bool& cut) {
  cut = false;
  if (!file) return false;
  if (std::fflush(file.get()) != 0 || std::ferror(file.get())) {
    cut = cutBack(file.get(), size, expected);
    std::fclose(file.release());
    return false;
  }
  // A close can still report a write that failed late (on a network file system, say): a second
  // descriptor of the same file keeps it open for cutting back then.
  const int spare = duplicateDescriptor(descriptorOf(file.get()));
  const bool closed = std::fclose(file.release()) == 0;
  if (spare >= 0) {
    if (!closed) cut = cutBackDescriptor(spare, size, expected);
    closeDescriptor(spare);
  }
  return closed;
}

std::optional<std::uint64_t> regularFileSize(std::FILE* file) {
  return descriptorSize(descriptorOf(file));
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
