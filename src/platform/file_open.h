#pragma once
// Opening files the way every reader and writer of the library does: binary, and on Windows
// without denying other processes read or write access.

#include <cstdint>
#include <cstdio>
#include <memory>
#include <optional>
#include <string>

namespace mevrix::platform {

enum class WriteMode { truncate, append };

// An open file that is closed when it goes out of scope; a close that must succeed goes through
// closeFile.
struct FileCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};
using FileHandle = std::unique_ptr<std::FILE, FileCloser>;

// Opens `path` for binary reading, or returns null. Never waits for a FIFO's writer.
FileHandle openForReading(const char* path);

// Opens `path` for binary writing, creating it if needed; `truncate` empties an existing file,
// `append` adds behind its contents. Returns null on failure, also at once for a FIFO that no
// program reads. When `created` is given, it receives the path of the file an append made (the
// name a dangling symbolic link holds, for one), or stays empty.
FileHandle openForWriting(const char* path, WriteMode mode, std::string* created = nullptr);

// A binary writing stream on a second descriptor of the open file `fd`, which stays open; null
// when none can be made.
FileHandle streamOnDuplicate(int fd);

// Turns off the stream's own buffer, for a file read or written in large blocks: that buffer
// would only copy every block once more.
inline void dropStreamBuffer(std::FILE* file) {
  std::setvbuf(file, nullptr, _IONBF, 0);
}

// Flushes and closes `file`, which is empty afterwards. True only when no write to it failed and
// the flush and the close succeeded; false for an empty handle.
bool closeFile(FileHandle& file);

// Cuts the open file back to its first `size` bytes, so that an append that failed leaves it as
// it was, but only while it holds between `size` and `expected` bytes: a file that holds more has
// had bytes appended by another program since, which stay. True when the file was cut back.
bool cutBack(std::FILE* file, std::uint64_t size, std::uint64_t expected);

// Flushes and closes `file` as closeFile does; when anything of that fails, the file is first
// cut back as cutBack does, and `cut` tells whether it was.
bool closeFileOrCutBack(FileHandle& file, std::uint64_t size, std::uint64_t expected, bool& cut);

// The size of the open file when it is a regular file; nothing for directories, devices, pipes.
std::optional<std::uint64_t> regularFileSize(std::FILE* file);

// Moves the reading position of `file` to byte `offset`, also beyond 4 GB in a 32-bit build.
bool seekTo(std::FILE* file, std::uint64_t offset);

}  // namespace mevrix::platform
