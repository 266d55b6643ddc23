// Exports of the folder cursor: a directory walked one entry name per call.

#include "boundary/export_guard.h"
#include "boundary/module_state.h"
#include "fileutil/folder_cursor.h"
#include "mevrix/exports.h"

using mevrix::boundary::guarded;
using mevrix::boundary::moduleState;
using enum mevrix::fileutil::CursorResult;
namespace fileutil = mevrix::fileutil;

extern "C" {

float OpenFolder(const char* text, double, char*, int) {
  return guarded(noCursor, [&] {
    return fileutil::openFolder(moduleState().folderCursor, text) ? done : noCursor;
  });
}

float GetFile(const char*, double, char* buf1, int) {
  return guarded(noCursor,
                 [&] { return fileutil::nextFileName(moduleState().folderCursor, buf1); });
}

float CloseFolder(const char*, double, char*, int) {
  return guarded(noCursor, [&] {
    return fileutil::closeFolder(moduleState().folderCursor) ? done : noCursor;
  });
}

}  // extern "C"
