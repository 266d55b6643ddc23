// The directory reader on POSIX: a directory stream plus the type of what each entry names.
// Hidden: a name beginning with "." other than "." and "..". System: whatever is neither a
// regular file nor a directory once links are followed (devices, FIFOs, sockets, dangling links).

#include "platform/directory_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

namespace mevrix::platform {

struct DirectoryReader::Handle {
  ~Handle() { closedir(dir); }
  DIR* dir;
};

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

std::unique_ptr<DirectoryReader> DirectoryReader::open(const char* path) {
  if (!path || !*path) return nullptr;
  DIR* dir = opendir(path);
  if (!dir) return nullptr;
  return std::unique_ptr<DirectoryReader>(
      new DirectoryReader(std::unique_ptr<Handle>(new Handle{dir})));
}

DirectoryReader::DirectoryReader(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

DirectoryReader::~DirectoryReader() = default;

const DirectoryEntry* DirectoryReader::next() {
  if (exhausted_) return nullptr;
  const dirent* found = readdir(handle_->dir);
  if (!found) {
    exhausted_ = true;
    return nullptr;
  }
  const Kind kind = kindOf(handle_->dir, *found);
  entry_.name = found->d_name;
  entry_.directory = kind == Kind::directory;
  entry_.hidden = found->d_name[0] == '.' && !isDotOrDotDot(found->d_name);
  entry_.system = kind == Kind::other;
  return &entry_;
}

}  // namespace mevrix::platform
