#pragma once
// A wildcard directory search: the entries of one directory with the attributes the file list
// needs, in the order the system gives them ("." and ".." included).

#include <memory>

namespace mevrix::platform {

// One entry found by a search. `name` stays valid until the next call on the search.
// On Windows the three flags are the entry's directory, hidden and system attributes. On POSIX
// a link is judged by what it points to, a name beginning with "." (other than "." and "..") is
// hidden, and whatever is neither a regular file nor a directory is a system entry.
struct FoundEntry {
  const char* name = nullptr;
  bool directory = false;  // a directory
  bool hidden = false;     // hidden from ordinary listings
  bool system = false;     // belongs to the system, not to the user
};

class DirectorySearch {
 public:
  // Starts a search on `pattern`: a directory, a separator and "*", which matches every entry.
  // Returns null when the directory cannot be searched (on Windows also when nothing at all
  // matches). The POSIX search knows no other wildcard: a pattern whose last part is not "*"
  // cannot be searched.
  static std::unique_ptr<DirectorySearch> start(const char* pattern);

  DirectorySearch(const DirectorySearch&) = delete;
  DirectorySearch& operator=(const DirectorySearch&) = delete;
  ~DirectorySearch();

  // The next entry, or null when none is left; a read error ends the search the same way.
  const FoundEntry* next();

 private:
  explicit DirectorySearch(void* handle) : handle_(handle) {}
  void* handle_;
  FoundEntry entry_;
  bool exhausted_ = false;
};

}  // namespace mevrix::platform
