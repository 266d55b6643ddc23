#include "fileutil/file_dialog.h"

#include <cstring>

#include "platform/file_exists.h"

namespace mevrix::fileutil {
namespace {

// Whether the list a dialog reported as chosen can be used: it ends inside the buffer, holds one
// file when only one may be chosen, and every path in it names an existing file. A dialog may
// report success with less: Wine's cuts a selection too large for the buffer at its last byte,
// lists several quoted names typed into a single-selection dialog, and replaces a character that
// the ANSI code page lacks by a look-alike, which gives the path of another file or of none.
bool holdsUsableSelection(const FileListBuffer& list, bool singleSelection) {
  if (!endsInside(list)) return false;
  const int count = fileCount(list);
  if (singleSelection && count != 1) return false;
  // A folder and a name that both fit in the list with their NULs also fit here joined.
  FileListBuffer path;
  for (int index = 1; index <= count; ++index) {
    if (lookUpFile(list, "fullname", index, path) == 0 ||
        !platform::namesExistingFile(path.data())) {
      return false;
    }
  }
  return true;
}

}  // namespace

std::optional<DialogFilter> makeDialogFilter(const char* text) {
  DialogFilter filter{};  // zeroed, so the two closing NULs are there already
  if (!text) {
    std::memcpy(filter.data(), "*.*", 3);
    return filter;
  }
  const std::size_t length = strnlen(text, kFilterTextLimit);
  if (length >= kFilterTextLimit) return std::nullopt;
  for (std::size_t i = 0; i < length; ++i) filter[i] = text[i] == '|' ? '\0' : text[i];
  return filter;
}

int getFileList(FileListBuffer& list, const DialogSettings& settings, const char* filterText,
                bool singleSelection, platform::DialogBackend& backend) {
  list.fill('\0');
  const std::optional<DialogFilter> filter = makeDialogFilter(filterText);
  if (!filter) return kFilterTooLong;

  platform::OpenFileRequest request;
  request.owner = nullptr;
  request.filter = filter->data();
  request.filterIndex = 1;
  request.file = list.data();
  request.fileSize = static_cast<std::uint32_t>(list.size());
  request.initialDirectory = settings.defaultDirectory.data();
  request.title = settings.title.data();
  request.flags = platform::kOpenFileMustExist | platform::kOpenPathMustExist |
                  platform::kOpenHideReadOnly | platform::kOpenShareAware;
  if (!singleSelection) request.flags |= platform::kOpenAllowMultiSelect | platform::kOpenExplorer;

  if (!backend.openFile(request) || !holdsUsableSelection(list, singleSelection)) {
    // A failed dialog may have left something in the buffer (the Windows dialog puts the size it
    // needed there), a refused selection its entries; a cancelled call leaves an empty list.
    list.fill('\0');
    return kFileListCancelled;
  }
  return fileCount(list);
}

}  // namespace mevrix::fileutil
