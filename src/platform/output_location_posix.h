#pragma once
// POSIX only: where the bytes written to a path go, found without ever spelling the path out
// whole, so that neither a long path nor a folder deeper than the system's path limit stops it.

#include <sys/stat.h>

#include <string>

#include "platform/descriptor_posix.h"

namespace mevrix::platform {

// The folder a path leads to, opened once (O_PATH), and the name in it.
struct OutputLocation {
  Descriptor folder;
  std::string name;
  struct stat status {};  // of the regular file there, when `exists`
  bool exists = false;
};

enum class Located {
  file,     // a regular file, or nothing yet: `found` says where
  special,  // a device, a FIFO, a folder, or a file of the system's (/proc, /sys): to be opened
            // as it is
  nowhere,  // a folder on the way is missing or may not be searched, or the links go round
};

// Finds the folder and name that `path` leads to, following symbolic links one by one, each
// relative to the folder it is in: the file a link leads to is the one found, and a dangling
// link leads to the name it holds.
Located locateOutput(const char* path, OutputLocation& found);

// Where the chain of symbolic links at `path` ends, spelt out from `path`: `path` itself when it
// is no link. For a dangling link, the name a file opened through it is created under.
std::string linkChainEnd(const char* path);

}  // namespace mevrix::platform
