#pragma once
// Pieces of the POSIX file-open dialog that do not need a display.

#include <cstddef>
#include <optional>
#include <string_view>
#include <vector>

namespace mevrix::platform {

// The paths a dialog program printed, one absolute path per line with a line feed after the
// last; nothing when the output holds no path, or a path that is not absolute, ends in a
// separator or holds a NUL byte.
std::optional<std::vector<std::string_view>> printedPaths(std::string_view output);

// Lays out the printed paths as the Windows dialog lays out its result: a single path alone;
// several paths as their folder followed by one name per path and an empty entry. Paths from
// different folders get their longest common folder as the folder entry and their paths relative
// to it as names, so that folder, separator and name still give each path.
// Writes nothing and returns false when printedPaths gives nothing, or for a list (empty entry
// included) larger than `size` bytes.
bool layOutSelection(std::string_view output, char* buffer, std::size_t size);

}  // namespace mevrix::platform
