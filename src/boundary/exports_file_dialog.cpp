// Exports of the file-open dialog, the file list it leaves and the directory listing.

#include <span>

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "boundary/value_conversion.h"
#include "fileutil/dialog_settings.h"
#include "fileutil/directory_listing.h"
#include "fileutil/file_dialog.h"
#include "fileutil/file_list.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::moduleState;
namespace fileutil = mevrix::fileutil;

extern "C" {

float SetDefaultDir(const char* text, double, char*, int) {
  return guarded(fileutil::kSettingDone, [&] {
    fileutil::setDefaultDirectory(moduleState().dialog, text);
    return fileutil::kSettingDone;
  });
}

float SetDialogTitle(const char* text, double, char*, int) {
  return guarded(fileutil::kSettingDone, [&] {
    fileutil::setDialogTitle(moduleState().dialog, text);
    return fileutil::kSettingDone;
  });
}

float GetFileList(const char* text, double value, char*, int) {
  const bool single = mevrix::boundary::isExactlyOne(value);
  auto& state = moduleState();
  return guarded(fileutil::kFileListCancelled,
                 [&] { return fileutil::getFileList(state.fileList, state.dialog, text, single); });
}

float GetDirFileList(const char* text, double value, char*, int) {
  if (!text) return mevrix::boundary::toResult(fileutil::kNothingListed);
  const bool subdirectories = mevrix::boundary::toFlag(value);
  return guarded(fileutil::kNothingListed, [&] {
    return fileutil::listDirectory(moduleState().fileList, text, subdirectories);
  });
}

float GetFileInfo(const char* text, double value, char* buf1, int buf1Len) {
  if (!text || !buf1) return mevrix::boundary::toResult(fileutil::kNothingWritten);
  const std::int32_t index = mevrix::boundary::toInteger(value);
  const std::span<char> destination(buf1, buf1Len > 0 ? static_cast<std::size_t>(buf1Len) : 0);
  return guarded(fileutil::kNothingWritten, [&] {
    return fileutil::lookUpFile(moduleState().fileList, text, index, destination);
  });
}

}  // extern "C"
