// Exports that delete, rename and copy files and clear a folder of its files.

#include "boundary/export_guard.h"
#include "fileutil/file_operations.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
namespace fileutil = mevrix::fileutil;

extern "C" {

float FileDelete(const char* text, double, char*, int) {
  if (!text) return -1.0f;
  return guarded(-1.0f, [&] { return fileutil::deleteFile(text) ? 0 : -1; });
}

float FileRename(const char* text, double, char* buf1, int) {
  if (!text || !buf1) return -1.0f;
  return guarded(-1.0f, [&] { return fileutil::renameFile(text, buf1) ? 0 : -1; });
}

float FileCopyTo(const char* text, double, char* buf1, int) {
  if (!text || !buf1) return -1.0f;
  return guarded(-1.0f, [&] {
    return fileutil::copyFile(text, buf1) == fileutil::CopyResult::copied ? 0 : -1;
  });
}

float EmptyFolder(const char* text, double, char*, int) {
  if (!text) return -1.0f;
  return guarded(-1.0f, [&] { return fileutil::emptyFolder(text) ? 0 : -1; });
}

}  // extern "C"
