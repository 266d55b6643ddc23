#pragma once
// The file list that the file-open dialog and the directory listing fill and lookups read: NUL-
// terminated entries one behind the other, ended by an empty entry, zero behind the end.

#include <array>
#include <cstddef>

namespace mevrix::fileutil {

inline constexpr std::size_t kFileListSize = 4096;
using FileListBuffer = std::array<char, kFileListSize>;

}  // namespace mevrix::fileutil
