#include "platform/file_replace.h"

#define WIN32_LEAN_AND_MEAN
#include <fcntl.h>
#include <io.h>
#include <share.h>
#include <sys/stat.h>
#include <windows.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

namespace mevrix::platform {

struct Replacement::State {
  std::string target;         // the path
  std::string newPath;        // the new file's name, while it has one
  int fd = -1;                // the new file, open for reading and writing
  bool replacesFile = false;  // a file is at the path (else the name is free)
  bool copyOver = false;      // the contents are copied over the old ones instead
  std::uint64_t oldSize = 0;
  DWORD oldAttributes = 0;
};

namespace {

struct Examined {
  ReplacementAttempt::Outcome outcome = ReplacementAttempt::Outcome::writeDirectly;
  bool exists = false;
  bool severalNames = false;
  std::uint64_t size = 0;
  DWORD attributes = 0;
};

// What `path` names: nothing yet, a regular file that may be written, a read-only file (which
// is refused), or something else (a folder, a device such as NUL or COM1, a path the system
// refuses), which is opened as it is.
Examined examine(const char* path) {
  using Outcome = ReplacementAttempt::Outcome;
  HANDLE handle = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (handle == INVALID_HANDLE_VALUE) {
    if (GetLastError() == ERROR_FILE_NOT_FOUND) return {Outcome::replacing, false, false, 0};
    return {};
  }
  BY_HANDLE_FILE_INFORMATION info;
  Examined examined;
  if (GetFileType(handle) == FILE_TYPE_DISK && GetFileInformationByHandle(handle, &info) &&
      (info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
    const bool readOnly = (info.dwFileAttributes & FILE_ATTRIBUTE_READONLY) != 0;
    examined = {readOnly ? Outcome::refused : Outcome::replacing, true, info.nNumberOfLinks > 1,
                (static_cast<std::uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow,
                info.dwFileAttributes};
  }
  CloseHandle(handle);
  return examined;
}

// Makes a file no other file has the name of in `folder` (ending in a separator, or empty),
// open for reading and writing; -1 when none can be made there.
int makeNewFile(const std::string& folder, int extraFlags, std::string& name) {
  const unsigned long seed = GetCurrentProcessId() ^ GetTickCount();
  for (unsigned long attempt = 0; attempt < 100; ++attempt) {
    char unique[32];
    std::snprintf(unique, sizeof unique, "mevrix-%08lx.tmp", (seed + attempt * 7919) & 0xFFFFFFFF);
    name = folder + unique;
    const int fd =
        _sopen(name.c_str(), _O_RDWR | _O_CREAT | _O_EXCL | _O_BINARY | _O_NOINHERIT | extraFlags,
               _SH_DENYNO, _S_IREAD | _S_IWRITE);
    if (fd >= 0 || errno != EEXIST) return fd;
  }
  return -1;
}

// A new file in the system's temporary folder, removed when it is closed, for contents that will
// be copied over a file where no new file can be made beside it.
int makeStagingFile() {
  char folder[MAX_PATH + 1];
  const DWORD length = GetTempPathA(sizeof folder, folder);
  if (length == 0 || length > MAX_PATH) return -1;
  std::string name;
  return makeNewFile(folder, _O_TEMPORARY | _O_SHORT_LIVED, name);
}

HANDLE handleOf(int fd) {
  return reinterpret_cast<HANDLE>(_get_osfhandle(fd));
}

bool writeAll(HANDLE out, const char* bytes, DWORD size) {
  while (size > 0) {
    DWORD put = 0;
    if (!WriteFile(out, bytes, size, &put, nullptr) || put == 0) return false;
    bytes += put;
    size -= put;
  }
  return true;
}

// Copies the complete new contents over the file at the path, which keeps its every name,
// right and attribute: room reserved first, then written from the start and cut to length.
bool copyOver(Replacement::State& state, std::size_t copyBlock) {
  if (state.fd < 0) {
    state.fd = _sopen(state.newPath.c_str(), _O_RDONLY | _O_BINARY | _O_NOINHERIT, _SH_DENYNO);
    if (state.fd < 0) return false;
  }
  const std::unique_ptr<char[]> block(new (std::nothrow) char[copyBlock]);
  LARGE_INTEGER size;
  if (!block || !GetFileSizeEx(handleOf(state.fd), &size) ||
      _lseeki64(state.fd, 0, SEEK_SET) != 0) {
    return false;
  }
  HANDLE out = CreateFileA(state.target.c_str(), GENERIC_WRITE,
                           FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (out == INVALID_HANDLE_VALUE) return false;
  FILE_ALLOCATION_INFO room;
  room.AllocationSize = size;
  bool good = SetFileInformationByHandle(out, FileAllocationInfo, &room, sizeof room) ||
              GetLastError() != ERROR_DISK_FULL;
  for (LONGLONG at = 0; good && at < size.QuadPart;) {
    const int got = _read(state.fd, block.get(), static_cast<unsigned>(copyBlock));
    good = got > 0 && writeAll(out, block.get(), static_cast<DWORD>(got));
    at += got;
  }
  good = good && SetFilePointerEx(out, size, nullptr, FILE_BEGIN) && SetEndOfFile(out) &&
         (state.oldSize == 0 || FlushFileBuffers(out));
  return CloseHandle(out) && good;
}

// Gives the complete, closed new file the path's name; false when that cannot be done, with
// `copyOver` set where the contents can still be copied over the old ones.
bool moveIntoPlace(Replacement::State& state) {
  const char* target = state.target.c_str();
  const char* replacement = state.newPath.c_str();
  if (!state.replacesFile) {
    if (MoveFileExA(replacement, target, 0)) return true;
    const DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
    state.replacesFile = true;  // made meanwhile by another program
  }
  // Unlike a rename, ReplaceFileA keeps the old file's access list, attributes, alternate streams
  // and creation time.
  if (ReplaceFileA(target, replacement, nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS, nullptr,
                   nullptr)) {
    // Where the system's replacing does not carry them over (Wine), the attributes are set again.
    if (state.oldAttributes != 0 && GetFileAttributesA(target) != state.oldAttributes) {
      SetFileAttributesA(target, state.oldAttributes);
    }
    return true;
  }
  // The old file is already gone when only the new one's renaming failed.
  if (GetLastError() == ERROR_UNABLE_TO_MOVE_REPLACEMENT &&
      GetFileAttributesA(target) == INVALID_FILE_ATTRIBUTES) {
    return MoveFileExA(replacement, target, 0);
  }
  state.copyOver = true;
  return false;
}

void discard(Replacement::State& state) {
  if (state.fd >= 0) _close(state.fd);
  state.fd = -1;
  if (!state.newPath.empty()) DeleteFileA(state.newPath.c_str());
  state.newPath.clear();
}

}  // namespace

void Replacement::Discard::operator()(State* state) const {
  discard(*state);
  delete state;
}

bool Replacement::commit(std::size_t copyBlock) {
  State& state = *state_;
  bool good = closeFile(file_);
  // The old contents stay on the disk until the new ones are there too.
  if (good && state.replacesFile && state.oldSize > 0) good = FlushFileBuffers(handleOf(state.fd));
  if (good && !state.copyOver) {
    // Renamed only once closed: the file is open without sharing its deletion.
    _close(state.fd);
    state.fd = -1;
    if (moveIntoPlace(state)) {
      state.newPath.clear();
      return true;
    }
    good = state.copyOver;
  }
  if (good) good = copyOver(state, copyBlock);
  discard(state);
  return good;
}

ReplacementAttempt createReplacement(const char* path) {
  using Outcome = ReplacementAttempt::Outcome;
  if (!path || !*path) return {Outcome::refused, std::nullopt};
  const Examined examined = examine(path);
  if (examined.outcome != Outcome::replacing) return {examined.outcome, std::nullopt};
  const char* separator = nullptr;
  for (const char* p = path; *p; ++p) {
    if (*p == '\\' || *p == '/' || *p == ':') separator = p;
  }
  if (separator && separator[1] == '\0') return {Outcome::writeDirectly, std::nullopt};

  std::unique_ptr<Replacement::State, Replacement::Discard> state(new Replacement::State);
  state->target = path;
  state->replacesFile = examined.exists;
  state->oldSize = examined.size;
  state->oldAttributes = examined.attributes;
  // A file with other names is written over, so that they keep leading to it.
  state->copyOver = examined.severalNames;
  state->fd =
      makeNewFile(separator ? std::string(path, separator + 1) : std::string(), 0, state->newPath);
  if (state->fd < 0) {
    state->newPath.clear();
    if (!examined.exists || errno != EACCES) return {Outcome::refused, std::nullopt};
    state->copyOver = true;
    state->fd = makeStagingFile();
    if (state->fd < 0) return {Outcome::refused, std::nullopt};
  }
  FileHandle stream = streamOnDuplicate(state->fd);
  if (!stream) return {Outcome::refused, std::nullopt};
  return {Outcome::replacing, Replacement(std::move(state), std::move(stream))};
}

}  // namespace mevrix::platform
