#pragma once
// The file-open dialog that fills the file list.

#include <array>
#include <cstddef>
#include <optional>

#include "fileutil/dialog_settings.h"
#include "fileutil/file_list.h"
#include "platform/dialog_backend.h"

namespace mevrix::fileutil {

// A filter text must be shorter than this; the filter holds it with two NULs behind it.
inline constexpr std::size_t kFilterTextLimit = 256;
using DialogFilter = std::array<char, kFilterTextLimit + 1>;

// The dialog's filter from a "|"-separated text of descriptions and patterns: the text with
// every "|" turned into a NUL, ended by two NULs. Null gives "*.*"; a text of 256 characters or
// more gives nothing.
std::optional<DialogFilter> makeDialogFilter(const char* text);

// Empties the list, then shows the dialog through `backend` (the system's own unless a test
// gives another), with the settings' title and folder, the filter made from `filterText`, and
// the list as the result buffer; one file may be chosen when `singleSelection` is true, several
// otherwise. Returns the list's file count, kFileListCancelled when the dialog was cancelled or
// failed (the list is then empty) or kFilterTooLong. A selection that the dialog reports as
// chosen counts as cancelled too when its list does not end inside the buffer, holds more than
// one file where one may be chosen, or has a path that names no existing file.
int getFileList(FileListBuffer& list, const DialogSettings& settings, const char* filterText,
                bool singleSelection,
                platform::DialogBackend& backend = platform::systemDialogBackend());

}  // namespace mevrix::fileutil
