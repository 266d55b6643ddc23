#pragma once
// Reading a directory: its entries one at a time, in the order the system gives them ("." and
// ".." included), each with the kind and the attributes the listings need.

#include <memory>

namespace mevrix::platform {

// One entry of a directory; `name` stays valid until the next call on the reader (at most 259
// bytes on Windows). On Windows the flags are the entry's directory, hidden and system
// attributes. On POSIX a link is judged by what it points to, a name beginning with "." (other
// than "." and "..") is hidden, and whatever is neither a regular file nor a directory is a
// system entry.
struct DirectoryEntry {
  const char* name = nullptr;
  bool directory = false;  // a directory
  bool hidden = false;     // hidden from ordinary listings
  bool system = false;     // belongs to the system, not to the user
};

class DirectoryReader {
 public:
  // Opens the directory `path`, or returns null for a null or empty path and for one that is
  // missing, not a directory or cannot be opened. On Windows the entries are searched for with
  // the path made absolute (a bare drive "C:" is that drive's current directory), a separator
  // unless it ends in one, and "*", from the first call of next() on; a search that finds
  // nothing gives no entries.
  static std::unique_ptr<DirectoryReader> open(const char* path);

  ~DirectoryReader();

  // The next entry, or null when none is left; a read error ends the entries the same way, and
  // once it has returned null it keeps returning null.
  const DirectoryEntry* next();

 private:
  struct Handle;  // the system's side of the reader, one kind per platform
  explicit DirectoryReader(std::unique_ptr<Handle> handle);

  std::unique_ptr<Handle> handle_;
  DirectoryEntry entry_;
  bool exhausted_ = false;
};

}  // namespace mevrix::platform
