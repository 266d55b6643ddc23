// Exports that delete, rename and copy files and clear a folder of its files. Each worker fails
// on a null path itself.

#include "boundary/export_guard.h"
#include "fileutil/file_operations.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using enum mevrix::fileutil::FileOperationResult;
namespace fileutil = mevrix::fileutil;

extern "C" {

float FileDelete(const char* text, double, char*, int) {
  return guarded(failed, [&] { return fileutil::deleteFile(text) ? done : failed; });
}

float FileRename(const char* text, double, char* buf1, int) {
  return guarded(failed, [&] { return fileutil::renameFile(text, buf1) ? done : failed; });
}

float FileCopyTo(const char* text, double, char* buf1, int) {
  return guarded(failed, [&] {
    return fileutil::copyFile(text, buf1) == fileutil::CopyResult::copied ? done : failed;
  });
}

float EmptyFolder(const char* text, double, char*, int) {
  return guarded(failed, [&] { return fileutil::emptyFolder(text) ? done : failed; });
}

}  // extern "C"
