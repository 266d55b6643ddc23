#include "platform/directory_stream.h"

#include <dirent.h>

namespace mevrix::platform {

std::unique_ptr<DirectoryStream> DirectoryStream::open(const char* path) {
  if (!path || !*path) return nullptr;
  DIR* dir = opendir(path);
  if (!dir) return nullptr;
  return std::unique_ptr<DirectoryStream>(new DirectoryStream(dir));
}

DirectoryStream::~DirectoryStream() { closedir(static_cast<DIR*>(handle_)); }

const char* DirectoryStream::next() {
  if (exhausted_) return nullptr;
  const dirent* entry = readdir(static_cast<DIR*>(handle_));
  if (!entry) {
    exhausted_ = true;
    return nullptr;
  }
  return entry->d_name;
}

}  // namespace mevrix::platform
