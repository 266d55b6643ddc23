#include "platform/program_run_posix.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

namespace mevrix::platform {
namespace {

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

std::vector<char*> pointersTo(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& string : strings) pointers.push_back(const_cast<char*>(string.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

}  // namespace

ProgramRun runProgram(const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, std::size_t outputLimit) {
  ProgramRun run;
  if (args.empty()) return run;
  std::vector<char*> argv = pointersTo(args);
  std::vector<char*> envp = pointersTo(environment);

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
  // The program must not inherit signals the host has blocked.
  sigset_t noSignals;
  sigemptyset(&noSignals);
  posix_spawnattr_setsigmask(&attributes, &noSignals);
  posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK);
  pid_t child = 0;
  const int spawned =
      posix_spawnp(&child, argv[0], &actions, &attributes, argv.data(), envp.data());
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

}  // namespace mevrix::platform
