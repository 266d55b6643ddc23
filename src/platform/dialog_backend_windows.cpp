// The file-open dialog on Windows: the system's own, GetOpenFileNameA, shown modally on the
// calling thread.

#include "platform/dialog_backend_windows.h"

#include <cstddef>
#include <cstring>

namespace mevrix::platform {
namespace {

// The record must be the full one, with the reserved members and the extended flags: its size
// is what the dialog checks first.
static_assert(sizeof(OPENFILENAMEA) > offsetof(OPENFILENAMEA, FlagsEx));

class WindowsDialogBackend final : public DialogBackend {
 public:
  bool openFile(const OpenFileRequest& request) override {
    if (!request.file || request.fileSize == 0) return false;
    OPENFILENAMEA record = openFileNameRecord(request);
    // False for a cancel and for a failure, a selection too large for the buffer included on
    // Windows; Wine's dialog reports success for one and cuts it at the buffer's end.
    return GetOpenFileNameA(&record) != FALSE;
  }
};

}  // namespace

OPENFILENAMEA openFileNameRecord(const OpenFileRequest& request) {
  OPENFILENAMEA record;
  std::memset(&record, 0, sizeof record);  // padding included, so nothing unset reaches the dialog
  record.lStructSize = sizeof record;
  record.hwndOwner = static_cast<HWND>(request.owner);
  record.lpstrFilter = request.filter;
  record.nFilterIndex = request.filterIndex;
  record.lpstrFile = request.file;
  record.nMaxFile = request.fileSize;
  record.lpstrInitialDir = request.initialDirectory;
  record.lpstrTitle = request.title;
  record.Flags = request.flags;
  return record;
}

DialogBackend& systemDialogBackend() {
  static WindowsDialogBackend backend;
  return backend;
}

}  // namespace mevrix::platform
