#pragma once
// Deleting, renaming and copying single files, and clearing a folder of its files. Paths are
// NUL-terminated, absolute or relative to the current directory; a null path fails. None of these
// ever deletes a directory, a device, a FIFO or a socket.

#include <cstddef>
#include <string_view>

namespace mevrix::fileutil {

// Bytes moved per read and write when copying; a copy needs no more memory than this.
inline constexpr std::size_t kCopyBlockSize = 4000;

// Deletes the file at `path` (a symbolic link is deleted itself, never what it points to).
// False when it is missing, is not a file, or cannot be deleted.
bool deleteFile(const char* path);

// Renames or moves `from` to `to` as the system's rename does (an existing file at `to` is
// replaced on POSIX, and makes the rename fail on Windows). False when a path is null, the two
// are equal byte for byte or two names of one file (hard links, where the system's rename would
// do nothing; nothing is touched), or the rename fails.
bool renameFile(const char* from, const char* to);

// The results of FileDelete, FileRename, FileCopyTo and EmptyFolder.
enum class FileOperationResult : int {
  done = 0,
  failed = -1,  // a path is null, or the operation failed
};

enum class CopyResult {
  copied,                // the destination holds exactly the source's bytes
  missingPath,           // a path is null; nothing touched
  samePath,              // the paths are equal byte for byte; nothing touched
  sourceNotOpened,       // the source is missing, unreadable or not a regular file (a directory,
                         // device, FIFO or socket); nothing touched
  sameFile,              // the destination is the source under another name; nothing touched
  destinationNotOpened,  // the destination could not be opened for writing; nothing touched
  readFailed,            // reading the source failed; the destination is as it was
  writeFailed,           // a write, or closing the destination, failed; the destination is as it
                         // was (but for a device or FIFO, or a file written in place)
};

// Copies `source` to `destination` through one kCopyBlockSize block. The source is opened before
// the destination is touched. The copy goes to a new file beside the destination, which takes its
// name once complete (OutputFile::openReplacing): a symbolic link there keeps leading to the file
// it names, which is replaced, other hard links to a replaced file keep its old contents, and a
// failed copy leaves the destination as it was. A device or FIFO is written as it is.
CopyResult copyFile(const char* source, const char* destination);

// Deletes the entries of `folder` whose names look like file names, that is, whose last ".",
// "/" or "\" is a "." (".x", "a.b", "a.b.c" but not "a" or "a.b\c"); "." and ".." are passed
// over. Entries that are not files, sub-directories among them, stay, and failures to delete an
// entry are ignored. Works on that one folder only, whatever the length of an entry's path.
// A separator is appended to `folder` when it does not end in one. False when `folder` is null,
// empty, or cannot be opened as a directory.
bool emptyFolder(const char* folder);

// True when an entry name counts as a file name for emptyFolder.
bool looksLikeFileName(std::string_view name);

}  // namespace mevrix::fileutil
