#pragma once
// The system's file-open dialog behind a small interface, so that the file list can be filled by
// the real dialog or, in tests, by a fake one that records what it was asked.

#include <cstdint>

namespace mevrix::platform {

// Flags of a file-open request; the values are those of the Windows common dialog.
inline constexpr std::uint32_t kOpenHideReadOnly = 0x4;
inline constexpr std::uint32_t kOpenAllowMultiSelect = 0x200;
inline constexpr std::uint32_t kOpenPathMustExist = 0x800;
inline constexpr std::uint32_t kOpenFileMustExist = 0x1000;
inline constexpr std::uint32_t kOpenShareAware = 0x4000;
inline constexpr std::uint32_t kOpenExplorer = 0x80000;

// What the dialog is asked to show and where it puts its result.
struct OpenFileRequest {
  void* owner = nullptr;  // owner window; null: none
  // Description and pattern strings taking turns, each NUL-terminated, the whole ended by one more
  // NUL. Patterns within one pair are separated by ";".
  const char* filter = nullptr;
  std::uint32_t filterIndex = 0;  // 1-based pair selected when the dialog opens
  // The result: one full path, or a folder followed by one name per file; each entry NUL-
  // terminated and the whole ended by an empty entry.
  char* file = nullptr;
  std::uint32_t fileSize = 0;              // bytes available at `file`
  const char* initialDirectory = nullptr;  // empty or null: the system's choice
  const char* title = nullptr;             // the caption
  std::uint32_t flags = 0;                 // kOpen... values
};

class DialogBackend {
 public:
  virtual ~DialogBackend() = default;
  // Shows the dialog modally and returns true when files were chosen and laid out in the request's
  // result buffer; false for a cancel or any failure, a selection too large for the buffer
  // included (the buffer's contents are then unspecified). A true result is not taken on trust:
  // the caller checks the list, as a dialog may report success with a list it cannot use.
  virtual bool openFile(const OpenFileRequest& request) = 0;
};

// The dialog of this platform.
DialogBackend& systemDialogBackend();

}  // namespace mevrix::platform
