#pragma once
// Which file a path or an open file is, so that two spellings of one file (a relative form, a
// symbolic link, a hard link) can be recognised as the same file.

#include <cstdint>
#include <cstdio>
#include <optional>

namespace mevrix::platform {

// A file's identity: equal identities mean the same file, whatever names lead to it.
struct FileIdentity {
  std::uint64_t volume = 0;  // the device (POSIX) or the volume serial number (Windows)
  std::uint64_t index = 0;   // the inode (POSIX) or the file index (Windows)

  friend bool operator==(const FileIdentity&, const FileIdentity&) = default;
};

// The identity of the file `path` leads to, following symbolic links; nothing when it does not
// exist or cannot be examined (on Windows: devices and pipes, which have no file index).
std::optional<FileIdentity> identityOf(const char* path);

#ifndef _WIN32
// POSIX only. The identity of what the name `path` itself stands for: a symbolic link is the
// link, not what it leads to. Nothing when there is no such name.
std::optional<FileIdentity> identityOfName(const char* path);
#endif

// The identity of an open file; nothing when it cannot be examined.
std::optional<FileIdentity> identityOf(std::FILE* file);

}  // namespace mevrix::platform
