#include "platform/output_location_posix.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#ifdef __linux__
#include <linux/magic.h>
#include <sys/vfs.h>
#endif

namespace mevrix::platform {
namespace {

constexpr int kMostLinks = 40;  // as many symbolic links in a row as the system follows

// Whether the files of `folder` belong to the system rather than to a disk: /proc, where a link
// such as /proc/self/fd/1 stands for an open file, not for a name; and /sys.
bool holdsSystemFiles(int folder) {
#ifdef __linux__
  struct statfs info;
  return fstatfs(folder, &info) == 0 &&
         (info.f_type == PROC_SUPER_MAGIC || info.f_type == SYSFS_MAGIC);
#else
  (void)folder;
  return false;
#endif
}

// What a symbolic link holds; empty when it cannot be read.
std::string linkTarget(int folder, const std::string& name, off_t sizeHint) {
  std::string target(static_cast<std::size_t>(sizeHint > 0 ? sizeHint : 256) + 1, '\0');
  for (;;) {
    const ssize_t got = readlinkat(folder, name.c_str(), target.data(), target.size());
    if (got < 0) return {};
    if (static_cast<std::size_t>(got) < target.size()) {
      target.resize(static_cast<std::size_t>(got));
      return target;
    }
    if (target.size() > 65536) return {};
    target.resize(target.size() * 2);
  }
}

}  // namespace

std::string linkChainEnd(const char* path) {
  std::string current = path;
  for (int links = 0; links < kMostLinks; ++links) {
    struct stat status;
    if (lstat(current.c_str(), &status) != 0 || !S_ISLNK(status.st_mode)) break;
    std::string next = linkTarget(AT_FDCWD, current, status.st_size);
    if (next.empty()) break;
    const std::size_t slash = current.rfind('/');
    if (next[0] != '/' && slash != std::string::npos) next.insert(0, current, 0, slash + 1);
    current = std::move(next);
  }
  return current;
}

Located locateOutput(const char* path, OutputLocation& found) {
  std::string current = path;
  Descriptor base;  // the folder a relative link target starts from; the current one at first
  for (int links = 0; links <= kMostLinks; ++links) {
    // A path ending in a separator names a folder, which the system then refuses to write.
    if (current.empty() || current.back() == '/') return Located::special;
    const std::size_t slash = current.rfind('/');
    const std::string folderPart = slash == std::string::npos ? "."
                                   : slash == 0               ? "/"
                                                              : current.substr(0, slash);
    std::string name = slash == std::string::npos ? current : current.substr(slash + 1);
    Descriptor folder(
        openat(base ? base.get() : AT_FDCWD, folderPart.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
    if (!folder) return Located::nowhere;
    struct stat status;
    if (fstatat(folder.get(), name.c_str(), &status, AT_SYMLINK_NOFOLLOW) != 0) {
      if (errno != ENOENT) return Located::nowhere;
      found = {std::move(folder), std::move(name), {}, false};
      return Located::file;
    }
    if (S_ISLNK(status.st_mode)) {
      if (holdsSystemFiles(folder.get())) return Located::special;
      current = linkTarget(folder.get(), name, status.st_size);
      if (current.empty()) return Located::nowhere;
      base = std::move(folder);
      continue;
    }
    // Renaming a file over a device, a FIFO or a folder would take its place.
    if (!S_ISREG(status.st_mode) || holdsSystemFiles(folder.get())) return Located::special;
    found = {std::move(folder), std::move(name), status, true};
    return Located::file;
  }
  return Located::nowhere;  // a loop of links
}

}  // namespace mevrix::platform
