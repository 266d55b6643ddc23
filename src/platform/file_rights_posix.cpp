#include "platform/file_rights_posix.h"

#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <optional>
#include <string>
#include <string_view>

#ifdef __linux__
#include <linux/fs.h>
#include <sys/xattr.h>
#endif

namespace mevrix::platform {
namespace {

bool takeOwnerOf(int newFile, const struct stat& old) {
  struct stat mine;
  if (fstat(newFile, &mine) != 0) return false;
  if (mine.st_uid == old.st_uid && mine.st_gid == old.st_gid) return true;
  if (fchown(newFile, old.st_uid, old.st_gid) == 0) return true;
  // Only a privileged process gives a file away; any owner may give it a group of their own.
  return mine.st_uid == old.st_uid && fchown(newFile, static_cast<uid_t>(-1), old.st_gid) == 0;
}

#ifdef __linux__

// Runs `get(buffer, size)` (a listing or a value of extended attributes) until the buffer holds
// all of it: the size asked first may have grown by the time the bytes are fetched.
template <typename Get>
std::optional<std::string> fetch(Get get, bool& absent) {
  absent = false;
  for (int attempt = 0; attempt < 8; ++attempt) {
    const ssize_t size = get(nullptr, 0);
    if (size < 0) {
      absent = errno == ENODATA || errno == ENOTSUP;
      return std::nullopt;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    const ssize_t got = get(bytes.data(), bytes.size());
    if (got >= 0) {
      bytes.resize(static_cast<std::size_t>(got));
      return bytes;
    }
    if (errno != ERANGE) return std::nullopt;
  }
  return std::nullopt;
}

// The names of a file's extended attributes, each followed by a NUL; empty where the file system
// has none.
std::optional<std::string> attributeNames(int fd) {
  bool absent = false;
  std::optional<std::string> names =
      fetch([fd](char* buffer, std::size_t size) { return flistxattr(fd, buffer, size); }, absent);
  if (!names && absent) return std::string();
  return names;
}

std::optional<std::string> attributeValue(int fd, const char* name, bool& absent) {
  return fetch(
      [fd, name](char* buffer, std::size_t size) { return fgetxattr(fd, name, buffer, size); },
      absent);
}

bool listed(std::string_view names, std::string_view name) {
  for (std::size_t at = 0; at < names.size();) {
    const std::size_t end = names.find('\0', at);
    if (names.substr(at, end - at) == name) return true;
    if (end == std::string_view::npos) break;
    at = end + 1;
  }
  return false;
}

// Makes the new file's extended attributes those of the old file: the POSIX access list travels
// as the attribute system.posix_acl_access, and an access list the new file took from its folder's
// default is removed when the old file has none.
bool takeAttributesOf(int newFile, int oldFile) {
  const std::optional<std::string> oldNames = attributeNames(oldFile);
  const std::optional<std::string> newNames = attributeNames(newFile);
  if (!oldNames || !newNames) return false;
  for (const char* name = oldNames->c_str(); name < oldNames->c_str() + oldNames->size();
       name += std::char_traits<char>::length(name) + 1) {
    bool absent = false;
    const std::optional<std::string> value = attributeValue(oldFile, name, absent);
    if (!value) {
      if (absent) continue;  // removed since it was listed
      return false;
    }
    const std::optional<std::string> present = attributeValue(newFile, name, absent);
    if (present == value) continue;
    if (fsetxattr(newFile, name, value->data(), value->size(), 0) != 0) return false;
  }
  for (const char* name = newNames->c_str(); name < newNames->c_str() + newNames->size();
       name += std::char_traits<char>::length(name) + 1) {
    if (!listed(*oldNames, name) && fremovexattr(newFile, name) != 0 && errno != ENODATA) {
      return false;
    }
  }
  return true;
}

// The flags a file's owner may set (append-only, no-dump, no-atime and the like); 0 where the
// file system keeps none.
int ownerFlagsOf(int fd) {
  int flags = 0;
  if (ioctl(fd, FS_IOC_GETFLAGS, &flags) != 0) return 0;
  return flags & FS_FL_USER_MODIFIABLE;
}

#endif  // __linux__

bool takeModeOf(int newFile, const struct stat& old) {
  // Set last: a change of owner clears set-id bits. With an access list the group bits stand for
  // its mask, which is so the old file's mask again.
  if (fchmod(newFile, old.st_mode & 07777) != 0) return false;
  struct stat mine;
  // Without the right to them, set-id bits are dropped without an error.
  return fstat(newFile, &mine) == 0 && (mine.st_mode & 07777) == (old.st_mode & 07777);
}

}  // namespace

bool takeRightsOf(int newFile, int oldFile, const struct stat& old) {
  if (!takeOwnerOf(newFile, old)) return false;
#ifdef __linux__
  try {
    if (!takeAttributesOf(newFile, oldFile)) return false;
  } catch (const std::bad_alloc&) {
    return false;
  }
  // Flags a new file cannot be given here: written over instead.
  if (ownerFlagsOf(oldFile) != ownerFlagsOf(newFile)) return false;
#else
  (void)oldFile;
#endif
  return takeModeOf(newFile, old);
}

}  // namespace mevrix::platform
