// The file-open dialog on POSIX: `zenity`, or else `kdialog`, run as a child process with the
// request mapped onto its options; the call waits until the dialog is closed. Without a display,
// without either program, on a cancel or when the selection does not fit, it reports a cancel.

#include "platform/dialog_backend_posix.h"

#include <fcntl.h>
#include <limits.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

#include "platform/dialog_backend.h"

extern char** environ;

namespace mevrix::platform {
namespace {

constexpr char kSeparator = '/';

// One description with the patterns it offers, as glob patterns both dialog programs take.
struct FilterChoice {
  std::string_view description;
  std::vector<std::string_view> patterns;
};

std::string_view trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Windows separates the patterns of one pair with ";" and matches every name with "*.*"; a
// description without a pattern offers every file.
std::vector<std::string_view> globPatterns(std::string_view patterns) {
  std::vector<std::string_view> globs;
  while (!patterns.empty()) {
    const std::size_t end = std::min(patterns.find(';'), patterns.size());
    const std::string_view pattern = trimSpaces(patterns.substr(0, end));
    if (!pattern.empty()) globs.push_back(pattern == "*.*" ? "*" : pattern);
    patterns.remove_prefix(std::min(end + 1, patterns.size()));
  }
  if (globs.empty()) globs.push_back("*");
  return globs;
}

std::vector<FilterChoice> filterChoices(const char* filter) {
  std::vector<std::string_view> strings;
  for (const char* p = filter; p && *p; p += strings.back().size() + 1) strings.emplace_back(p);
  std::vector<FilterChoice> choices;
  for (std::size_t i = 0; i < strings.size(); i += 2) {
    choices.push_back({strings[i], globPatterns(i + 1 < strings.size() ? strings[i + 1] : "")});
  }
  return choices;
}

std::string joined(const std::vector<std::string_view>& parts, std::string_view glue) {
  std::string text;
  for (std::string_view part : parts) {
    if (!text.empty()) text += glue;
    text += part;
  }
  return text;
}

std::string text(const char* maybeNull) {
  return maybeNull ? maybeNull : "";
}

std::vector<std::string> zenityArguments(const OpenFileRequest& request, bool multiple,
                                         const std::vector<FilterChoice>& choices) {
  std::vector<std::string> args = {"zenity", "--file-selection", "--title=" + text(request.title)};
  std::string folder = text(request.initialDirectory);
  if (!folder.empty()) {
    // A name ending in a separator makes zenity open that folder with nothing preselected.
    if (folder.back() != kSeparator) folder += kSeparator;
    args.push_back("--filename=" + folder);
  }
  if (multiple) {
    args.push_back("--multiple");
    args.push_back("--separator=\n");
  }
  for (const FilterChoice& choice : choices) {
    args.push_back("--file-filter=" + std::string(choice.description) + " | " +
                   joined(choice.patterns, " "));
  }
  return args;
}

std::vector<std::string> kdialogArguments(const OpenFileRequest& request, bool multiple,
                                          const std::vector<FilterChoice>& choices) {
  std::vector<std::string> args = {"kdialog", "--title", text(request.title)};
  if (multiple) {
    args.push_back("--multiple");
    args.push_back("--separate-output");
  }
  const std::string folder = text(request.initialDirectory);
  args.push_back("--getopenfilename");
  args.push_back(folder.empty() ? "." : folder);
  // KDE filters: "patterns|description", one per line.
  std::string filter;
  for (const FilterChoice& choice : choices) {
    if (!filter.empty()) filter += '\n';
    filter += joined(choice.patterns, " ") + "|" + std::string(choice.description);
  }
  if (!filter.empty()) args.push_back(filter);
  return args;
}

bool hasDisplay() {
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY"}) {
    const char* value = std::getenv(name);
    if (value && *value) return true;
  }
  return false;
}

class FileDescriptor {
 public:
  explicit FileDescriptor(int fd = -1) : fd_(fd) {}
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;
  ~FileDescriptor() { reset(); }
  int get() const { return fd_; }
  void reset() {
    if (fd_ >= 0) close(fd_);
    fd_ = -1;
  }

 private:
  int fd_;
};

struct ProgramRun {
  bool started = false;    // false: the program could not be started (not installed, say)
  bool succeeded = false;  // it exited with status 0 and all its output was kept
  std::string output;
};

// Everything the child writes until it closes its output; keeps at most `limit` bytes and
// returns false when there was more, or when reading failed.
bool readAll(int fd, std::size_t limit, std::string& output) noexcept {
  char chunk[16384];
  bool kept = true;
  for (;;) {
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return kept && count == 0;
    if (!kept) continue;  // drain, so that the child is not left blocked on a full pipe
    const auto size = static_cast<std::size_t>(count);
    if (output.size() + size > limit) {
      kept = false;
      output.clear();
      continue;
    }
    try {
      output.append(chunk, size);
    } catch (...) {
      kept = false;
      output.clear();
    }
  }
}

// Runs `args` found on PATH (no shell), its input and errors on /dev/null, and waits for it.
ProgramRun runProgram(const std::vector<std::string>& args, std::size_t outputLimit) {
  ProgramRun run;
  std::vector<char*> argv;
  for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
  argv.push_back(nullptr);

  int ends[2];
  if (pipe2(ends, O_CLOEXEC) != 0) return run;
  FileDescriptor readEnd(ends[0]);
  FileDescriptor writeEnd(ends[1]);

  posix_spawn_file_actions_t actions;
  posix_spawnattr_t attributes;
  if (posix_spawn_file_actions_init(&actions) != 0) return run;
  if (posix_spawnattr_init(&attributes) != 0) {
    posix_spawn_file_actions_destroy(&actions);
    return run;
  }
  posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, writeEnd.get(), STDOUT_FILENO);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  // The dialog must not inherit signals the host has blocked.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  const int spawned = posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  posix_spawnattr_destroy(&attributes);
  writeEnd.reset();  // so that reading ends when the child closes its output
  if (spawned != 0) return run;
  run.started = true;

  const bool complete = readAll(readEnd.get(), outputLimit, run.output);
  readEnd.reset();
  int status = 0;
  pid_t waited;
  do {
    waited = waitpid(child, &status, 0);
  } while (waited < 0 && errno == EINTR);
  run.succeeded = complete && waited == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  return run;
}

class PosixDialogBackend final : public DialogBackend {
 public:
  bool openFile(const OpenFileRequest& request) override {
    try {
      if (!request.file || request.fileSize == 0 || !hasDisplay()) return false;
      const bool multiple = (request.flags & kOpenAllowMultiSelect) != 0;
      const std::vector<FilterChoice> choices = filterChoices(request.filter);
      // Each listed file takes at least two bytes of the list and prints at most a path of
      // PATH_MAX bytes and its line feed: output beyond that cannot fit.
      const std::size_t outputLimit = (request.fileSize / 2 + 1) * (PATH_MAX + 1);
      for (auto arguments : {zenityArguments, kdialogArguments}) {
        const ProgramRun run = runProgram(arguments(request, multiple, choices), outputLimit);
        if (!run.started) continue;
        return run.succeeded &&
               layOutSelection(run.output, multiple, request.file, request.fileSize);
      }
      return false;
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

bool layOutSelection(std::string_view output, bool multiple, char* buffer, std::size_t size) {
  if (!output.empty() && output.back() == '\n') output.remove_suffix(1);
  if (output.empty()) return false;
  std::vector<std::string_view> paths;
  for (std::size_t start = 0; start <= output.size();) {
    const std::size_t end = std::min(output.find('\n', start), output.size());
    const std::string_view path = output.substr(start, end - start);
    // A NUL cannot be part of a path, and in the list it would end the entry early.
    if (path.empty() || path.front() != kSeparator || path.back() == kSeparator ||
        path.find('\0') != std::string_view::npos) {
      return false;
    }
    paths.push_back(path);
    start = end + 1;
  }
  if (paths.size() > 1 && !multiple) return false;

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
