// The directory search on Windows: FindFirstFileA, FindNextFileA and FindClose, with the
// directory, hidden and system attributes of each entry as the system reports them.

#include "platform/directory_search.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

namespace mevrix::platform {
namespace {

// A search in progress: its handle and the record of the entry found last.
struct Search {
  Search() = default;
  Search(const Search&) = delete;
  Search& operator=(const Search&) = delete;
  ~Search() {
    if (handle != INVALID_HANDLE_VALUE) FindClose(handle);
  }

  HANDLE handle = INVALID_HANDLE_VALUE;
  WIN32_FIND_DATAA found{};
  bool pending = false;  // `found` holds the entry FindFirstFileA gave, not yet handed out
};

}  // namespace

std::unique_ptr<DirectorySearch> DirectorySearch::start(const char* pattern) {
  if (!pattern) return nullptr;
  auto search = std::make_unique<Search>();
  search->handle = FindFirstFileA(pattern, &search->found);
  // No such folder, not a folder, no access, or (a drive's root) not a single entry.
  if (search->handle == INVALID_HANDLE_VALUE) return nullptr;
  search->pending = true;
  std::unique_ptr<DirectorySearch> result(new DirectorySearch(search.get()));
  search.release();
  return result;
}

DirectorySearch::~DirectorySearch() {
  delete static_cast<Search*>(handle_);
}

const FoundEntry* DirectorySearch::next() {
  if (exhausted_) return nullptr;
  Search& search = *static_cast<Search*>(handle_);
  if (!search.pending && !FindNextFileA(search.handle, &search.found)) {
    exhausted_ = true;  // no entry left, or an error, which ends the search the same way
    return nullptr;
  }
  search.pending = false;
  search.found.cFileName[MAX_PATH - 1] = '\0';  // the list copies up to the NUL: make sure of one
  const DWORD attributes = search.found.dwFileAttributes;
  entry_.name = search.found.cFileName;
  entry_.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry_.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  entry_.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
  return &entry_;
}

}  // namespace mevrix::platform
