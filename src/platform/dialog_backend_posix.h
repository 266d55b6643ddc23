#pragma once
// Pieces of the POSIX file-open dialog that do not need a display.

#include <cstddef>
#include <string_view>

namespace mevrix::platform {

// Lays out the paths a dialog program printed, one absolute path per line with a line feed
// after the last, as the Windows dialog lays out its result: a single path alone; several paths
// as their folder followed by one name per path and an empty entry. Paths from different folders
// get their longest common folder as the folder entry and their paths relative to it as names,
// so that folder, separator and name still give each path.
// Writes nothing and returns false when the output holds no path, a path that is not absolute,
// ends in a separator or holds a NUL byte, more than one path where `multiple` is false, or a
// list (empty entry included) larger than `size` bytes.
bool layOutSelection(std::string_view output, bool multiple, char* buffer, std::size_t size);

}  // namespace mevrix::platform
