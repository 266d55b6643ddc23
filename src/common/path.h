#pragma once
// Path pieces shared by the subsystems.

#include <string_view>

namespace mevrix::common {

// The separator this platform's paths are joined with.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
#else
inline constexpr char kPathSeparator = '/';
#endif

// The file name of `path` without its directory and its last extension: the text after the last
// "/" or "\" (on every platform), cut before the last "." of that name. "a/b.c.dae" gives "b.c";
// ".dae" gives "".
std::string_view fileStem(std::string_view path);

}  // namespace mevrix::common
