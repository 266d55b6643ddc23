#pragma once
// Replacing a file only once its new contents are complete: they are written to a new file
// beside it, which then takes its name in one step. Until then the old file stays as it was (or
// the name stays free), so a failure on the way (a full disk, say) never loses it and never
// leaves a cut-off file behind.

#include <optional>
#include <string>

#include "platform/file_open.h"

namespace mevrix::platform {

struct Replacement {
  FileHandle file;            // open for binary writing, empty
  std::string temporaryPath;  // where it is until it replaces the file
  std::string targetPath;     // the file it replaces, or the name it takes
};

// Why no replacement was made.
enum class NoReplacement {
  writeInPlace,  // `path` is not a regular file (a device, a FIFO, a directory, a dangling
                 // link), or its folder may not be written: open the path itself, as before
  failed,        // the new file could not be made for another reason (no such folder, no space)
};

struct ReplacementAttempt {
  std::optional<Replacement> replacement;
  NoReplacement reason = NoReplacement::failed;  // when there is no replacement
};

// Creates an empty file with a name of its own beside the regular file `path` names, or beside
// where it would be when it does not exist yet, so that renaming it over that name stays within
// one file system. On POSIX a symbolic link is followed, so that the file it leads to is
// replaced and the link stays; the new file gets the replaced file's permissions (and, where
// the system allows, its owner), or those a newly created file would get.
ReplacementAttempt createReplacement(const char* path);

// Gives the closed replacement file the name `targetPath`, replacing the file there. False when
// that fails; the replacement file is then removed.
bool commitReplacement(const std::string& temporaryPath, const std::string& targetPath);

// Removes a replacement file that will not be committed.
void discardReplacement(const std::string& temporaryPath);

}  // namespace mevrix::platform
