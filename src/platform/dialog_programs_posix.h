#pragma once
// How a file-open request is put to the dialog programs of a POSIX desktop, `zenity` and
// `kdialog`: their command lines and the environment they run in.

#include <string>
#include <string_view>
#include <vector>

#include "platform/dialog_backend.h"

namespace mevrix::platform {

// How kdialog takes its list of filters, one filter per line: "Description (patterns)" in
// every kdialog built on Qt's file dialog (KDE Frameworks 5 and later); "patterns|Description"
// in the kdialog of KDE 4 and before.
enum class KdialogFilterForm { described, piped };

// The form that the kdialog whose `--version` printed `report` understands. Only a report that
// names a KDE platform of version 4 or lower means the old form.
KdialogFilterForm kdialogFilterForm(std::string_view report);

std::vector<std::string> zenityArguments(const OpenFileRequest& request);
std::vector<std::string> kdialogArguments(const OpenFileRequest& request, KdialogFilterForm form);

// This process's environment ("NAME=value" entries) for a dialog program. Its character set must
// be UTF-8, so that the paths it prints are the file system's bytes: when the environment's
// locale has another one (LC_ALL=C, say) or does not exist, LC_ALL is set to a UTF-8 locale that
// the system has. This process's own environment and locale are left as they are.
std::vector<std::string> dialogEnvironment();

}  // namespace mevrix::platform
