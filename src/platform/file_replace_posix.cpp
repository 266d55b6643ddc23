#include "platform/file_replace.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "platform/descriptor_posix.h"
#include "platform/file_rights_posix.h"
#include "platform/output_location_posix.h"

namespace mevrix::platform {

struct Replacement::State {
  Descriptor folder;          // the path's folder (opened only to be named, O_PATH)
  std::string name;           // the path's last part, in `folder`
  Descriptor contents;        // the new file, open for reading and writing
  std::string newName;        // the new file's own name in `folder`, while it has one
  bool replacesFile = false;  // a file is at the path (else the name is free)
  bool copyOver = false;      // the contents are copied over the old ones instead of renamed
  off_t oldSize = 0;
};

namespace {

constexpr int kAttempts = 100;

// A hidden name of fixed length, whatever the length of the replaced file's name, different on
// every call; whether another file has it, an exclusive creation tells.
std::string candidateName() {
  static std::uint64_t calls = 0;
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::uint64_t mix = static_cast<std::uint64_t>(getpid()) * 0x9E3779B97F4A7C15u ^
                      static_cast<std::uint64_t>(now.tv_nsec) ^
                      (static_cast<std::uint64_t>(now.tv_sec) << 30) ^
                      ++calls * 0xBF58476D1CE4E5B9u;
  constexpr char kAlphabet[] = "0123456789abcdefghijklmnopqrstuvwxyz";
  std::string name = ".mevrix-XXXXXX";
  for (std::size_t i = name.size() - 6; i < name.size(); ++i) {
    name[i] = kAlphabet[mix % 36];
    mix /= 36;
  }
  return name;
}

// Tries hidden names until `claim(name)` takes one (true), and returns it; empty when `claim`
// fails for another reason than the name being taken (errno tells), or every name was.
template <typename Claim>
std::string claimName(Claim&& claim) {
  for (int attempt = 0; attempt < kAttempts; ++attempt) {
    std::string candidate = candidateName();
    if (claim(candidate)) return candidate;
    if (errno != EEXIST) return {};
  }
  errno = EEXIST;
  return {};
}

std::string descriptorPath(int fd) {
  return "/proc/self/fd/" + std::to_string(fd);
}

// Tests may make new files the way systems without unnamed new files do.
bool namedNewFilesOnly = false;

// Makes a new file in `folder`, open for reading and writing. Where the system can, the file has
// no name until it is complete, so a process killed on the way leaves nothing behind; `name` is
// then empty, else it holds the new file's name. A file that will get a name is made without a
// name only where /proc/self/fd can give it one.
Descriptor makeNewFile(int folder, mode_t mode, bool toBeNamed, std::string& name) {
  name.clear();
#ifdef O_TMPFILE
  if (!namedNewFilesOnly) {
    Descriptor file(openat(folder, ".", O_TMPFILE | O_RDWR | O_CLOEXEC, mode));
    if (file) {
      if (!toBeNamed || access(descriptorPath(file.get()).c_str(), F_OK) == 0) return file;
    } else if (errno != EOPNOTSUPP && errno != EISDIR && errno != EINVAL && errno != ENOENT) {
      return {};  // no new file at all may be made there
    }
  }
#endif
  Descriptor file;
  name = claimName([&](const std::string& candidate) {
    file =
        Descriptor(openat(folder, candidate.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, mode));
    return static_cast<bool>(file);
  });
  return file;
}

// A new file in the system's temporary folder, which never gets a name, for contents that will
// be copied over a file where no new file can be made beside it.
Descriptor makeStagingFile() {
  const char* folderPath = std::getenv("TMPDIR");
  if (!folderPath || folderPath[0] != '/') folderPath = "/tmp";
  const Descriptor folder(open(folderPath, O_PATH | O_DIRECTORY | O_CLOEXEC));
  if (!folder) return {};
  std::string name;
  Descriptor file = makeNewFile(folder.get(), 0600, false, name);
  if (file && !name.empty()) unlinkat(folder.get(), name.c_str(), 0);
  return file;
}

// Makes the new file for an existing file: beside it and with all of its rights, so that it can
// be renamed over it; else one to be copied over it.
Descriptor makeReplacingFile(Replacement::State& state, const OutputLocation& at) {
  Descriptor file = makeNewFile(state.folder.get(), 0600, true, state.newName);
  if (!file) {
    if (errno == ENOSPC || errno == EDQUOT) return {};
    state.copyOver = true;
    return makeStagingFile();
  }
  const Descriptor old(openat(state.folder.get(), state.name.c_str(),
                              O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  // A second name of the file would keep the old contents; rights or attributes the new file
  // cannot be given would change.
  state.copyOver =
      at.status.st_nlink != 1 || !old || !takeRightsOf(file.get(), old.get(), at.status);
  if (state.copyOver && !state.newName.empty()) {
    unlinkat(state.folder.get(), state.newName.c_str(), 0);  // kept open, the file stays
    state.newName.clear();
  }
  return file;
}

bool writeAll(int fd, const char* bytes, std::size_t size, off_t offset) {
  while (size > 0) {
    const ssize_t put = pwrite(fd, bytes, size, offset);
    if (put < 0 && errno == EINTR) continue;
    if (put <= 0) return false;
    bytes += put;
    size -= static_cast<std::size_t>(put);
    offset += put;
  }
  return true;
}

// Room for `size` bytes in `fd`, so that neither a full disk nor a file-size limit stops the
// copy once an old byte is written over. False when the room is not there; true also where the
// file system cannot reserve room.
bool reserveRoom(int fd, off_t size) {
  rlimit limit{};
  if (getrlimit(RLIMIT_FSIZE, &limit) == 0 && limit.rlim_cur != RLIM_INFINITY &&
      static_cast<std::uint64_t>(size) > limit.rlim_cur) {
    return false;
  }
  if (size == 0) return true;
#ifdef __linux__
  // fallocate itself, not posix_fallocate: where the file system cannot reserve room, the latter
  // writes bytes into the file instead.
  if (fallocate(fd, 0, 0, size) == 0) return true;
  return errno != ENOSPC && errno != EDQUOT && errno != EFBIG;
#else
  const int failure = posix_fallocate(fd, 0, size);
  return failure != ENOSPC && failure != EDQUOT && failure != EFBIG;
#endif
}

// Copies the complete new contents over the file at the path, which keeps its every name, right
// and attribute: room reserved first, then written from the start and cut to length.
bool copyOver(const Replacement::State& state, std::size_t copyBlock) {
  struct stat contents;
  if (fstat(state.contents.get(), &contents) != 0) return false;
  const std::unique_ptr<char[]> block(new (std::nothrow) char[copyBlock]);
  if (!block) return false;
  Descriptor out(openat(state.folder.get(), state.name.c_str(),
                        O_WRONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
  if (!out || !reserveRoom(out.get(), contents.st_size)) return false;
  for (off_t at = 0; at < contents.st_size;) {
    const ssize_t got = pread(state.contents.get(), block.get(), copyBlock, at);
    if (got < 0 && errno == EINTR) continue;
    if (got <= 0 || !writeAll(out.get(), block.get(), static_cast<std::size_t>(got), at)) {
      return false;
    }
    at += got;
  }
  if (ftruncate(out.get(), contents.st_size) != 0) return false;
  if (state.oldSize > 0 && fdatasync(out.get()) != 0) return false;
  return out.close();
}

enum class Renamed { yes, refused, failed };

// Gives the complete new file the path's name.
Renamed renameOver(Replacement::State& state) {
  const int folder = state.folder.get();
  if (state.newName.empty()) {
    // Linked through /proc/self/fd to a name of its own first: renameat replaces the path in one
    // step, which linkat cannot.
    const std::string source = descriptorPath(state.contents.get());
    state.newName = claimName([&](const std::string& candidate) {
      return linkat(AT_FDCWD, source.c_str(), folder, candidate.c_str(), AT_SYMLINK_FOLLOW) == 0;
    });
    if (state.newName.empty()) {
      return errno == ENOSPC || errno == EDQUOT || errno == EIO || errno == EEXIST
                 ? Renamed::failed
                 : Renamed::refused;
    }
  }
  if (renameat(folder, state.newName.c_str(), folder, state.name.c_str()) == 0) {
    state.newName.clear();
    return Renamed::yes;
  }
  // A file mounted over its name (EBUSY), a sticky folder (EPERM) and the like keep their name.
  return errno == EBUSY || errno == EPERM || errno == EACCES || errno == EXDEV ? Renamed::refused
                                                                               : Renamed::failed;
}

void discard(Replacement::State& state) {
  state.contents.reset();
  if (!state.newName.empty()) {
    unlinkat(state.folder.get(), state.newName.c_str(), 0);
    state.newName.clear();
  }
}

}  // namespace

void Replacement::Discard::operator()(State* state) const {
  discard(*state);
  delete state;
}

bool Replacement::commit(std::size_t copyBlock) {
  State& state = *state_;
  bool good = closeFile(file_);
  if (good && !state.copyOver) {
    // The old contents stay on the disk until the new ones are there too: a power loss right
    // after the rename must not leave an empty file.
    if (state.replacesFile && state.oldSize > 0 && fdatasync(state.contents.get()) != 0) {
      good = false;
    } else {
      const Renamed renamed = renameOver(state);
      if (renamed == Renamed::yes) {
        discard(state);
        return true;
      }
      state.copyOver = state.replacesFile && renamed == Renamed::refused;
      good = state.copyOver;
    }
  }
  if (good) good = copyOver(state, copyBlock);
  discard(state);
  return good;
}

void useNamedNewFilesForTesting(bool named) {
  namedNewFilesOnly = named;
}

ReplacementAttempt createReplacement(const char* path) {
  using Outcome = ReplacementAttempt::Outcome;
  if (!path || !*path) return {Outcome::refused, std::nullopt};
  OutputLocation at;
  switch (locateOutput(path, at)) {
    case Located::file:
      break;
    case Located::special:
      return {Outcome::writeDirectly, std::nullopt};
    case Located::nowhere:
      return {Outcome::refused, std::nullopt};
  }

  std::unique_ptr<Replacement::State, Replacement::Discard> state(new Replacement::State);
  state->folder = std::move(at.folder);
  state->name = std::move(at.name);
  Descriptor contents;
  if (!at.exists) {
    // What any new file gets: 0666 less the umask, or the folder's default access list.
    contents = makeNewFile(state->folder.get(), 0666, true, state->newName);
  } else {
    // A file the caller may not write is not the caller's to replace.
    if (faccessat(state->folder.get(), state->name.c_str(), W_OK, AT_EACCESS) != 0) {
      return {Outcome::refused, std::nullopt};
    }
    state->replacesFile = true;
    state->oldSize = at.status.st_size;
    contents = makeReplacingFile(*state, at);
  }
  if (!contents) return {Outcome::refused, std::nullopt};
  FileHandle stream = streamOnDuplicate(contents.get());
  state->contents = std::move(contents);
  if (!stream) return {Outcome::refused, std::nullopt};
  return {Outcome::replacing, Replacement(std::move(state), std::move(stream))};
}

}  // namespace mevrix::platform
