#pragma once
// Whether a path names an existing file, as a file-open dialog's result must.

namespace mevrix::platform {

// True when `path` names something that exists and is not a folder (a link is judged by what it
// leads to); false for a null path, a missing one, a folder and a path that cannot be examined.
bool namesExistingFile(const char* path);

}  // namespace mevrix::platform
