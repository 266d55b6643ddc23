#pragma once
// Deleting one file, and nothing that is not a file.

namespace mevrix::platform {

// Deletes `path` when it names a regular file or a symbolic link (the link itself, never what
// it points to). A directory, even an empty one, a device, a FIFO or a socket is never deleted:
// that, a missing path or a failed deletion gives false.
// On Windows a directory link or junction counts as a directory and stays; the system also
// refuses a read-only file and one that another program has open without sharing deletion.
bool deleteFile(const char* path);

}  // namespace mevrix::platform
