#pragma once
// The file list that the file-open dialog and the directory listing fill and lookups read: NUL-
// terminated entries one behind the other, ended by an empty entry, zero behind the end. It holds
// either one full path, or a folder followed by one name per file in that folder.

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>

namespace mevrix::fileutil {

inline constexpr std::size_t kFileListSize = 4096;
using FileListBuffer = std::array<char, kFileListSize>;

// The results of the file-list exports besides a number of files or a length.
enum FileListResult : int {
  kSettingDone = 0,        // SetDefaultDir and SetDialogTitle, always
  kFileListCancelled = 0,  // GetFileList: the dialog was cancelled or failed (the list is empty)
  kNothingListed = 0,      // GetDirFileList: nothing matched, or the folder cannot be listed
  kNothingWritten = 0,     // GetFileInfo: no such file in the list, or no room for it
  kFilterTooLong = -1,     // GetFileList: the filter text has 256 characters or more
};

// The number of files the list holds. Counts the NULs among bytes 0 to 4094 up to the first one
// followed by another NUL; that pair ends the count, which is then 1 for one NUL and the number
// of NULs less one otherwise. Without such a pair the count is the number of NULs. So one path
// counts 1, a folder with n names counts n, and an all-zero list counts 1.
int fileCount(const FileListBuffer& list);

// Whether the list's end is inside it: a NUL among bytes 0 to 4094 followed by another NUL. A
// list without that pair was cut short, and fileCount miscounts it.
bool endsInside(const FileListBuffer& list);

// Writes file `index` (1-based) of the list into `destination` with its NUL and returns its
// length. `selector` "fullname" gives the full path (the folder, a separator and the name, or
// the single path), "name" the name alone. Returns 0 and writes nothing for any other selector,
// an index outside 1..fileCount, a single path without a separator ("name"), or an entry not
// ended inside the list. A string that does not fit into `destination` with its NUL gives 0 and
// leaves the empty string there when there is room for one.
std::size_t lookUpFile(const FileListBuffer& list, std::string_view selector, std::int32_t index,
                       std::span<char> destination);

}  // namespace mevrix::fileutil
