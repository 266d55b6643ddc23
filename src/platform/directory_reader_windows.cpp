// The directory reader on Windows: FindFirstFileA, FindNextFileA and FindClose on the folder's
// absolute path and "*", with the directory, hidden and system attributes of each entry as the
// system reports them.

#include "platform/directory_reader.h"

#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <string>
#include <utility>

namespace mevrix::platform {

struct DirectoryReader::Handle {
  ~Handle() {
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
  }

  std::string pattern;
  HANDLE search = INVALID_HANDLE_VALUE;  // none before the first entry and after the last
  WIN32_FIND_DATAA found{};
};

std::unique_ptr<DirectoryReader> DirectoryReader::open(const char* path) {
  if (!path || !*path) return nullptr;
  const DWORD attributes = GetFileAttributesA(path);
  if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
    return nullptr;
  }
  auto handle = std::make_unique<Handle>();
  // Absolute, so that the search finds this directory whatever the current one is by then; a
  // path whose absolute form is too long for the system's 8-bit calls is searched as given.
  char absolute[MAX_PATH];
  const DWORD length = GetFullPathNameA(path, MAX_PATH, absolute, nullptr);
  handle->pattern = length > 0 && length < MAX_PATH ? absolute : path;
  const char last = handle->pattern.back();
  if (last != '\\' && last != '/') handle->pattern += '\\';
  handle->pattern += '*';
  return std::unique_ptr<DirectoryReader>(new DirectoryReader(std::move(handle)));
}

DirectoryReader::DirectoryReader(std::unique_ptr<Handle> handle) : handle_(std::move(handle)) {}

DirectoryReader::~DirectoryReader() = default;

const DirectoryEntry* DirectoryReader::next() {
  if (exhausted_) return nullptr;
  Handle& handle = *handle_;
  if (handle.search == INVALID_HANDLE_VALUE) {
    handle.search = FindFirstFileA(handle.pattern.c_str(), &handle.found);
  } else if (!FindNextFileA(handle.search, &handle.found)) {
    // No entry left, or an error, which ends the entries the same way.
    FindClose(std::exchange(handle.search, INVALID_HANDLE_VALUE));
  }
  if (handle.search == INVALID_HANDLE_VALUE) {
    exhausted_ = true;
    return nullptr;
  }
  handle.found.cFileName[MAX_PATH - 1] = '\0';  // the listings copy up to the NUL: make sure of one
  const DWORD attributes = handle.found.dwFileAttributes;
  entry_.name = handle.found.cFileName;
  entry_.directory = (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  entry_.hidden = (attributes & FILE_ATTRIBUTE_HIDDEN) != 0;
  entry_.system = (attributes & FILE_ATTRIBUTE_SYSTEM) != 0;
  return &entry_;
}

}  // namespace mevrix::platform
