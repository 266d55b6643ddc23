#pragma once
// The state the library keeps between export calls. It is created when the library is loaded
// and destroyed when it is unloaded; exports hand the pieces they need to their workers.

#include "collada/export_metadata.h"
#include "fileutil/dialog_settings.h"
#include "fileutil/file_list.h"
#include "fileutil/folder_cursor.h"
#include "meshtools/merge_state.h"

namespace mevrix::boundary {

struct ModuleState {
  // Members are created in this order and destroyed in the reverse order.
  collada::ExportMetadata exportMetadata;
  meshtools::MergeState merge;  // the group list with texCoordBase and faceCount
  fileutil::DialogSettings dialog;
  fileutil::FileListBuffer fileList{};
  fileutil::FolderCursor folderCursor;
};

// The one state of the loaded library.
ModuleState& moduleState();

}  // namespace mevrix::boundary
