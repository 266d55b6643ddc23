#pragma once
// A directory stream: the names of a directory's entries, one at a time, in the order the system
// gives them ("." and ".." included).

#include <memory>

namespace mevrix::platform {

class DirectoryStream {
 public:
  // Opens a stream on `path`, or returns null for a null, empty or unusable path.
  static std::unique_ptr<DirectoryStream> open(const char* path);

  DirectoryStream(const DirectoryStream&) = delete;
  DirectoryStream& operator=(const DirectoryStream&) = delete;
  ~DirectoryStream();

  // The next entry's name, valid until the next call; null when no entry is left. A read error
  // ends the entries, and once it has returned null it keeps returning null.
  const char* next();

 private:
  explicit DirectoryStream(void* handle) : handle_(handle) {}
  void* handle_;
  bool exhausted_ = false;
};

}  // namespace mevrix::platform
