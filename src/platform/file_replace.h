#pragma once
// Replacing a file only once its new contents are complete. The bytes go to a new file first.
// Once they are all there, the new file takes the path's name in one step where that changes
// nothing but the contents; otherwise (another owner, more names than one, rights or attributes
// a new file cannot be given, a rename the system refuses) the complete contents are copied over
// the old ones. Until then the old file stays as it was (or the name stays free), so a failure on
// the way (a full disk, say) never loses it and never leaves a cut-off file behind.

#include <cstddef>
#include <cstdio>
#include <memory>
#include <optional>

#include "platform/file_open.h"

namespace mevrix::platform {

// The new contents of one path, written to a file of their own until commit() puts them there.
class Replacement {
 public:
  struct State;  // what each system keeps, defined beside its code
  // Discards what a state holds that was not committed, and frees it.
  struct Discard {
    void operator()(State* state) const;
  };

  // The block in which complete contents are copied over old ones.
  static constexpr std::size_t kCopyBlock = 128 * 1024;

  // `file` is a stream on the new file that `state` holds.
  Replacement(std::unique_ptr<State, Discard> state, FileHandle file)
      : state_(std::move(state)), file_(std::move(file)) {}
  Replacement(Replacement&&) noexcept = default;
  Replacement& operator=(Replacement&&) = delete;
  // A replacement never committed is discarded: the path keeps what it held.
  ~Replacement() = default;

  // Where the new contents are written: open for binary writing, empty.
  std::FILE* file() const { return file_.get(); }

  // Flushes and closes file() and puts its contents at the path; true when every byte is there.
  // An existing file is flushed to the disk before it is replaced. On false the path holds what
  // it held before, unless the contents were being copied over the old ones when a write failed.
  // Contents are copied over old ones `copyBlock` bytes at a time.
  bool commit(std::size_t copyBlock = kCopyBlock);

 private:
  std::unique_ptr<State, Discard> state_;
  FileHandle file_;  // closed before the state is discarded
};

// What opening a path to be written anew gives.
struct ReplacementAttempt {
  enum class Outcome {
    replacing,      // `replacement` holds the new file
    writeDirectly,  // a device, a FIFO, a file of the system's (such as /proc/self/fd/N): open
                    // the path itself, as any program that writes it would
    refused,        // the caller may not write the file, the folder is missing, or no new file
                    // can be made (no space)
  };
  Outcome outcome = Outcome::refused;
  std::optional<Replacement> replacement;
};

// Prepares to write the file `path` names anew, or to create it. A symbolic link is followed, so
// the file it leads to is the one replaced and the link stays. A replacing file keeps the old
// file's owner, group, mode, access list and other attributes, and its other names (hard links)
// when it has some; a new one gets what any new file gets.
ReplacementAttempt createReplacement(const char* path);

#ifndef _WIN32
// For tests: makes every new file with a name from the start, as on file systems that cannot
// make a file without one.
void useNamedNewFilesForTesting(bool named);
#endif

}  // namespace mevrix::platform
