#pragma once
// Replacing a file only once its new contents are complete: they are written to a new file
// beside it, which then takes its name in one step. Until then the old file stays as it was, so
// a failure on the way (a full disk, say) never loses it.

#include <optional>
#include <string>

#include "platform/file_open.h"

namespace mevrix::platform {

struct Replacement {
  FileHandle file;            // open for binary writing, empty
  std::string temporaryPath;  // where it is until it replaces the file
  std::string targetPath;     // the file it replaces
};

// Creates an empty file with a name of its own beside the file `path` names, so that renaming it
// over that file stays within one file system. On POSIX a symbolic link is followed, so that the
// file it leads to is replaced and the link stays, and the new file gets the replaced file's
// permissions. Nothing when it cannot be created.
std::optional<Replacement> createReplacement(const char* path);

// Gives the closed replacement file the name `targetPath`, replacing the file there. False when
// that fails; the replacement file is then removed.
bool commitReplacement(const std::string& temporaryPath, const std::string& targetPath);

// Removes a replacement file that will not be committed.
void discardReplacement(const std::string& temporaryPath);

}  // namespace mevrix::platform
