// The directory search on POSIX: a directory stream plus the type of what each entry names.
// Hidden: a name beginning with "." other than "." and "..". System: whatever is neither a
// regular file nor a directory once links are followed (devices, FIFOs, sockets, dangling links).

#include "platform/directory_search.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <cstring>
#include <string>

namespace mevrix::platform {
namespace {

enum class Kind { file, directory, other };

Kind kindOf(DIR* dir, const dirent& entry) {
  // The stream's own type is enough unless the entry is a link or the file system gives none.
  if (entry.d_type == DT_REG) return Kind::file;
  if (entry.d_type == DT_DIR) return Kind::directory;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return Kind::other;
  struct stat info;
  if (fstatat(dirfd(dir), entry.d_name, &info, 0) != 0) return Kind::other;
  if (S_ISREG(info.st_mode)) return Kind::file;
  if (S_ISDIR(info.st_mode)) return Kind::directory;
  return Kind::other;
}

bool isDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

}  // namespace

std::unique_ptr<DirectorySearch> DirectorySearch::start(const char* pattern) {
  if (!pattern) return nullptr;
  const char* wildcard = std::strrchr(pattern, '/');
  if (!wildcard || std::strcmp(wildcard + 1, "*") != 0) return nullptr;
  // Keep the separator, so that "/*" opens the root.
  const std::string directory(pattern, static_cast<std::size_t>(wildcard - pattern) + 1);
  DIR* dir = opendir(directory.c_str());
  if (!dir) return nullptr;
  return std::unique_ptr<DirectorySearch>(new DirectorySearch(dir));
}

DirectorySearch::~DirectorySearch() {
  closedir(static_cast<DIR*>(handle_));
}

const FoundEntry* DirectorySearch::next() {
  if (exhausted_) return nullptr;
  DIR* dir = static_cast<DIR*>(handle_);
  const dirent* found = readdir(dir);
  if (!found) {
    exhausted_ = true;
    return nullptr;
  }
  const Kind kind = kindOf(dir, *found);
  entry_.name = found->d_name;
  entry_.directory = kind == Kind::directory;
  entry_.hidden = found->d_name[0] == '.' && !isDotOrDotDot(found->d_name);
  entry_.system = kind == Kind::other;
  return &entry_;
}

}  // namespace mevrix::platform
