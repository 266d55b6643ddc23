// The file-open dialog on POSIX: `zenity`, or else `kdialog`, run as a child process with the
// request mapped onto its options; the call waits until the dialog is closed. Without a display,
// without either program, on a cancel, or when the selection cannot be read or does not fit, it
// reports a cancel.

#include "platform/dialog_backend_posix.h"

#include <limits.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "platform/dialog_backend.h"
#include "platform/dialog_programs_posix.h"
#include "platform/program_run_posix.h"

namespace mevrix::platform {
namespace {

constexpr char kSeparator = '/';

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

// The selection a dialog program printed, laid out in the request's result buffer; false when
// the program was cancelled or failed, or its output cannot be laid out. Whether the files exist
// is for the caller to check, as for every dialog.
bool takeSelection(const ProgramRun& run, const OpenFileRequest& request) {
  return run.succeeded && layOutSelection(run.output, request.file, request.fileSize);
}

class PosixDialogBackend final : public DialogBackend {
 public:
  bool openFile(const OpenFileRequest& request) override {
    try {
      if (!request.file || request.fileSize == 0 || !hasDisplay()) return false;
      const std::vector<std::string> environment = dialogEnvironment();
      // Each listed file takes at least two bytes of the list and prints at most a path of
      // PATH_MAX bytes and its line feed: output beyond that cannot fit.
      const std::size_t outputLimit =
          (std::size_t{request.fileSize} / 2 + 1) * std::size_t{PATH_MAX + 1};
      const ProgramRun zenity = runProgram(zenityArguments(request), environment, outputLimit);
      if (zenity.started) return takeSelection(zenity, request);
      const ProgramRun version = runProgram({"kdialog", "--version"}, environment, 4096);
      if (!version.started) return false;
      const KdialogFilterForm form = kdialogFilterForm(version.output);
      return takeSelection(runProgram(kdialogArguments(request, form), environment, outputLimit),
                           request);
    } catch (...) {
      return false;
    }
  }
};

// The folder part of an absolute path, without its last separator: "" for a file in the root.
std::string_view folderOf(std::string_view path) {
  return path.substr(0, path.rfind(kSeparator));
}

bool isComponentEnd(std::string_view path, std::size_t position) {
  return position == path.size() || path[position] == kSeparator;
}

// The longest folder that contains both folders (both "" or absolute, without a final separator).
std::string_view commonFolder(std::string_view a, std::string_view b) {
  const std::size_t shorter = std::min(a.size(), b.size());
  std::size_t same = 0;
  while (same < shorter && a[same] == b[same]) ++same;
  if (isComponentEnd(a, same) && isComponentEnd(b, same)) return a.substr(0, same);
  return a.substr(0, a.substr(0, same).rfind(kSeparator));
}

}  // namespace

std::optional<std::vector<std::string_view>> printedPaths(std::string_view output) {
  if (!output.empty() && output.back() == '\n') output.remove_suffix(1);
  if (output.empty()) return std::nullopt;
  std::vector<std::string_view> paths;
  for (std::size_t start = 0; start <= output.size();) {
    const std::size_t end = std::min(output.find('\n', start), output.size());
    const std::string_view path = output.substr(start, end - start);
    // A NUL cannot be part of a path, and in the list it would end the entry early.
    if (path.empty() || path.front() != kSeparator || path.back() == kSeparator ||
        path.find('\0') != std::string_view::npos) {
      return std::nullopt;
    }
    paths.push_back(path);
    start = end + 1;
  }
  return paths;
}

bool layOutSelection(std::string_view output, char* buffer, std::size_t size) {
  const std::optional<std::vector<std::string_view>> printed = printedPaths(output);
  if (!printed) return false;
  const std::vector<std::string_view>& paths = *printed;

  if (paths.size() == 1) {
    const std::string_view path = paths.front();
    if (path.size() + 2 > size) return false;
    std::memcpy(buffer, path.data(), path.size());
    buffer[path.size()] = '\0';
    buffer[path.size() + 1] = '\0';
    return true;
  }

  std::string_view folder = folderOf(paths.front());
  for (std::string_view path : paths) folder = commonFolder(folder, folderOf(path));
  // A folder entry of "" would end the list at once: the root is written as the separator.
  const std::string_view folderEntry = folder.empty() ? std::string_view("/", 1) : folder;
  std::size_t needed = folderEntry.size() + 2;
  for (std::string_view path : paths) needed += path.size() - folder.size();
  if (needed > size) return false;

  char* out = buffer;
  auto put = [&out](std::string_view entry) {
    std::memcpy(out, entry.data(), entry.size());
    out += entry.size();
    *out++ = '\0';
  };
  put(folderEntry);
  for (std::string_view path : paths) put(path.substr(folder.size() + 1));
  *out = '\0';
  return true;
}

DialogBackend& systemDialogBackend() {
  static PosixDialogBackend backend;
  return backend;
}

}  // namespace mevrix::platform
