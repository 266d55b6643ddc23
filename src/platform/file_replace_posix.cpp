#include "platform/file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace mevrix::platform {
namespace {

constexpr int kAttempts = 100;

// A hidden name of fixed length in `folder`, whatever the length of the replaced file's name,
// different on every call; whether another file has it, the exclusive creation tells.
std::string candidateName(const std::string& folder) {
  static std::uint64_t calls = 0;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t mix = static_cast<std::uint64_t>(getpid()) * 0x9E3779B97F4A7C15u ^
                      static_cast<std::uint64_t>(now.tv_nsec) ^
                      (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                      ++calls * 0xBF58476D1CE4E5B9u;
  constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = folder + ".mevrix-XXXXXX";
  for (std::size_t i = name.size() - 6; i < name.size(); ++i) {
    name[i] = kAlphabet[mix % 36];
    mix /= 36;
  }
  return name;
}

ReplacementAttempt noReplacement(NoReplacement reason) {
  return {std::nullopt, reason};
}

}  // namespace

ReplacementAttempt createReplacement(const char* path) {
  if (!path || !*path) return noReplacement(NoReplacement::writeInPlace);
  std::string target;
  struct stat replaced;
  const bool exists = stat(path, &replaced) == 0;
  if (exists) {
    // Devices, FIFOs and directories are opened as they are: renaming a file over them would
    // take their place.
    if (!S_ISREG(replaced.st_mode)) return noReplacement(NoReplacement::writeInPlace);
    // The file a symbolic link leads to is the one replaced.
    char* resolved = realpath(path, nullptr);
    if (!resolved) return noReplacement(NoReplacement::writeInPlace);
    target = resolved;
    std::free(resolved);
  } else {
    struct stat link;
    // A dangling symbolic link is opened as it is, which creates the file it names.
    if (errno != ENOENT || lstat(path, &link) == 0) {
      return noReplacement(NoReplacement::writeInPlace);
    }
    target = path;
    if (target.back() == '/') return noReplacement(NoReplacement::writeInPlace);
  }
  const std::string folder = target.substr(0, target.rfind('/') + 1);

  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string name = candidateName(folder);
    // A new file gets what the system gives any new file (0666 less the umask, and a default
    // access list); a replacing one starts private and takes the old file's mode below.
    const int fd =
        open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, exists ? 0600 : 0666);
    if (fd < 0) {
      if (errno == EEXIST) continue;
      if (errno == EACCES || errno == EPERM || errno == EROFS) {
        return noReplacement(NoReplacement::writeInPlace);
      }
      return noReplacement(NoReplacement::failed);
    }
    if (exists) {
      // Only a privileged process can give the file another owner; the mode is set after the
      // owner, whose change would clear set-id bits.
      if (fchown(fd, replaced.st_uid, replaced.st_gid) != 0) {
        // Not permitted: the file stays the caller's own, as a file the caller creates is.
      }
      fchmod(fd, replaced.st_mode & 07777);
    }
    FileHandle file(fdopen(fd, "wb"));
    if (!file) {
      close(fd);
      unlink(name.c_str());
      return noReplacement(NoReplacement::failed);
    }
    return {Replacement{std::move(file), std::move(name), std::move(target)}, {}};
  }
  return noReplacement(NoReplacement::failed);
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
