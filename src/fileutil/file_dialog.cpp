#include "fileutil/file_dialog.h"

#include <cstring>

namespace mevrix::fileutil {

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

  if (!backend.openFile(request)) {
    // A failed dialog may have left something in the buffer (the Windows dialog puts the size it
    // needed there); a cancelled call leaves an empty list.
    list.fill('\0');
    return kFileListCancelled;
  }
  return fileCount(list);
}

}  // namespace mevrix::fileutil
