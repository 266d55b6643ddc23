#pragma once
// The Windows file-open dialog's request record, built apart from showing the dialog so that
// every field can be checked without a window.

#include <windows.h>
// After windows.h, whose types it uses.
#include <commdlg.h>

#include "platform/dialog_backend.h"

namespace mevrix::platform {

// The GetOpenFileNameA record for `request`: the size of the full record of this build (152
// bytes in a 64-bit build, 88 in a 32-bit one; the dialog refuses any other), the request's owner
// window, filter with its selected pair, result buffer and its size, starting folder, caption
// and flags. Every other member (custom filter, file title, default extension, hook, template,
// the reserved members and the extended flags) is zero.
OPENFILENAMEA openFileNameRecord(const OpenFileRequest& request);

}  // namespace mevrix::platform
