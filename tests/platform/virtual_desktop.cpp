#include "platform/virtual_desktop.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <set>
#include <thread>

#include "support/temp_dir.h"

namespace mevrix::test {
namespace {

std::vector<char*> pointersTo(const std::vector<std::string>& strings) {
  std::vector<char*> pointers;
  for (const std::string& string : strings) pointers.push_back(const_cast<char*>(string.c_str()));
  pointers.push_back(nullptr);
  return pointers;
}

// The display number Xvfb wrote to `fd` once it listens; nothing when it wrote none (the number
// was taken, and it exited) before `deadline`.
std::optional<std::string> displayNumber(int fd, Clock::time_point deadline) {
  std::string number;
  for (;;) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    pollfd ready{fd, POLLIN, 0};
    if (left.count() <= 0 || poll(&ready, 1, static_cast<int>(left.count())) <= 0) break;
    char chunk[16];
    const ssize_t count = read(fd, chunk, sizeof chunk);
    if (count <= 0) break;
    number.append(chunk, static_cast<std::size_t>(count));
    if (number.ends_with('\n')) {
      number.pop_back();
      return number;
    }
  }
  return std::nullopt;
}

}  // namespace

std::string findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string_view folders = path ? path : "";
  while (!folders.empty()) {
    const std::size_t end = std::min(folders.find(':'), folders.size());
    const std::string candidate = std::string(folders.substr(0, end)) + "/" + name;
    if (end > 0 && access(candidate.c_str(), X_OK) == 0) return candidate;
    folders.remove_prefix(std::min(end + 1, folders.size()));
  }
  return "";
}

Child::Child(const std::vector<std::string>& args, const std::vector<std::string>& environment,
             const std::string& output, int notice) {
  std::vector<char*> argv = pointersTo(args);
  std::vector<char*> envp = pointersTo(environment);
  const pid_t parent = getpid();
  pid_ = fork();
  if (pid_ > 0) setpgid(pid_, pid_);  // as the child does, so a kill that comes first reaches it
  if (pid_ != 0) return;
  // In the child: only calls that are safe between fork and exec.
  setpgid(0, 0);
  prctl(PR_SET_PDEATHSIG, SIGKILL);
  if (getppid() != parent) _exit(127);
  const int in = open("/dev/null", O_RDONLY);
  const int out = open(output.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_APPEND, 0644);
  if (in < 0 || out < 0) _exit(127);
  dup2(in, STDIN_FILENO);
  dup2(out, STDOUT_FILENO);
  dup2(out, STDERR_FILENO);
  if (notice == 3) fcntl(3, F_SETFD, 0);  // keep it open across exec
  if (notice >= 0 && notice != 3) dup2(notice, 3);
  execve(argv[0], argv.data(), envp.data());
  _exit(127);
}

Child::~Child() {
  if (!started()) return;
  // Its process group cannot be taken by others while the child is not reaped.
  kill(-pid_, SIGKILL);
  waitpid(pid_, nullptr, 0);
}

bool Child::endedBy(Clock::time_point deadline) {
  while (started() && !ended_) {
    siginfo_t info{};
    // WNOWAIT: it stays a zombie, so its group can still be killed whole.
    if (waitid(P_PID, static_cast<id_t>(pid_), &info, WEXITED | WNOHANG | WNOWAIT) != 0) break;
    if (info.si_pid == pid_) {
      ended_ = true;
      if (info.si_code == CLD_EXITED) exitCode_ = info.si_status;
      break;
    }
    if (Clock::now() >= deadline) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return ended_;
}

void Child::stopBy(Clock::time_point deadline) {
  if (!started() || ended_) return;
  kill(-pid_, SIGTERM);
  endedBy(deadline);
}

VirtualDisplay::VirtualDisplay(DesktopPrograms programs, std::string folder)
    : programs_(std::move(programs)), folder_(std::move(folder)) {
  // Start from a number of this process's own, far from the usual :0 and :99; a number in use
  // makes Xvfb exit at once, and the next one is tried. Without -noreset the server would drop
  // the added keys whenever its last client leaves.
  const int first = 200 + static_cast<int>(getpid() % 700);
  for (int number = first; number < first + 40 && !server_; ++number) {
    int ends[2];
    if (pipe2(ends, O_CLOEXEC) != 0) return;
    const std::string wanted = std::to_string(number);
    auto server = std::make_unique<Child>(
        std::vector<std::string>{programs_.xvfb, ":" + wanted, "-displayfd", "3", "-nolisten",
                                 "tcp", "-noreset", "-screen", "0", "1280x1024x24"},
        std::vector<std::string>{}, folder_ + "/xvfb.log", ends[1]);
    close(ends[1]);
    const std::optional<std::string> shown =
        displayNumber(ends[0], Clock::now() + std::chrono::seconds(30));
    close(ends[0]);
    if (shown && *shown == wanted) {
      name_ = ":" + wanted;
      server_ = std::move(server);
    }
  }
}

VirtualDisplay::~VirtualDisplay() {
  if (server_) server_->stopBy(Clock::now() + std::chrono::seconds(10));
}

bool VirtualDisplay::addKeysFor(std::string_view text) const {
  std::set<char32_t> characters;
  for (std::size_t i = 0; i < text.size();) {
    const auto lead = static_cast<unsigned char>(text[i]);
    const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    char32_t character = length == 1 ? lead : lead & (0x3F >> (length - 1));
    for (std::size_t k = 1; k < length && i + k < text.size(); ++k) {
      character = (character << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3F);
    }
    if (length > 1) characters.insert(character);
    i += length;
  }
  std::vector<std::string> args;
  for (char32_t character : characters) {
    // X names Latin-1 characters by their code, the others as U followed by it.
    char keysym[16];
    std::snprintf(keysym, sizeof keysym, character <= 0xFF ? "0x%X" : "U%04X",
                  static_cast<unsigned>(character));
    args.insert(args.end(), {"-e", std::string("keycode any = ") + keysym});
  }
  return args.empty() || run(programs_.xmodmap, args).has_value();
}

std::optional<std::string> VirtualDisplay::xdotool(const std::vector<std::string>& args) const {
  return run(programs_.xdotool, args);
}

std::optional<std::string> VirtualDisplay::run(const std::string& program,
                                               const std::vector<std::string>& args) const {
  std::vector<std::string> command = {program};
  command.insert(command.end(), args.begin(), args.end());
  const std::string output = folder_ + "/x-program.out";
  // A UTF-8 locale, so that xdotool types the characters of its UTF-8 arguments.
  Child child(command, {"DISPLAY=" + name_, "LC_ALL=C.UTF-8"}, output);
  if (!child.endedBy(Clock::now() + std::chrono::seconds(20)) || child.exitCode() != 0) {
    return std::nullopt;
  }
  return readFile(output);
}

}  // namespace mevrix::test
