#pragma once
// Listing one folder's files or sub-folders into the file list.

#include <cstddef>
#include <string_view>

#include "fileutil/file_list.h"

namespace mevrix::fileutil {

// The search pattern (the folder, a separator and "*") must fit in this many bytes with its NUL.
inline constexpr std::size_t kSearchPatternSize = 260;

// Fills the list with the entries of `directory`: its files, or with `subdirectories` its sub-
// folders ("." and ".." included), never hidden or system entries, in the order the system gives
// them. Several matches give the folder (without one trailing separator) and their names; one
// match gives its full path alone; names that do not fit in the list are left out. Returns the
// number of names stored, 0 when nothing matched, the folder cannot be searched or its pattern
// does not fit (the list is then empty). An empty `directory` returns 0 and keeps the list.
int listDirectory(FileListBuffer& list, std::string_view directory, bool subdirectories);

}  // namespace mevrix::fileutil
