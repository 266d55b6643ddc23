#pragma once
// POSIX only. A private X display for real desktop programs, and children that are always
// ended: what a test needs to drive a program's windows by keyboard, as a person does, without
// ever hanging or leaving a process behind.

#include <sys/types.h>

#include <chrono>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace mevrix::test {

using Clock = std::chrono::steady_clock;

// The full path of `name` found on PATH, or "" when it is not there.
std::string findProgram(const std::string& name);

// A program running in a process group of its own, its output going to a file. It is killed by
// the system when this process dies, and killed with its whole group when the object goes.
class Child {
 public:
  // `environment` holds "NAME=value" entries; `output` names the file for the standard output
  // and error. A `notice` descriptor of this process becomes the child's descriptor 3.
  Child(const std::vector<std::string>& args, const std::vector<std::string>& environment,
        const std::string& output, int notice = -1);
  ~Child();
  Child(const Child&) = delete;
  Child& operator=(const Child&) = delete;

  bool started() const { return pid_ > 0; }
  // Whether it has exited (or ended otherwise); waits for that until `deadline` at most.
  bool endedBy(Clock::time_point deadline);
  // Its exit status once it has exited normally; -1 otherwise.
  int exitCode() const { return exitCode_; }
  // Asks its process group to end (SIGTERM) and waits for it until `deadline` at most.
  void stopBy(Clock::time_point deadline);

 private:
  pid_t pid_ = -1;
  bool ended_ = false;
  int exitCode_ = -1;
};

// Full paths of the X programs a virtual display needs.
struct DesktopPrograms {
  std::string xvfb, xdotool, xmodmap;
};

// Xvfb on a display number that no other server uses: tests or people running at the same time
// get displays of their own. Its files (logs, output) go to `folder`.
class VirtualDisplay {
 public:
  VirtualDisplay(DesktopPrograms programs, std::string folder);
  // Ends the server so that it removes its socket.
  ~VirtualDisplay();
  VirtualDisplay(const VirtualDisplay&) = delete;
  VirtualDisplay& operator=(const VirtualDisplay&) = delete;

  bool running() const { return server_ != nullptr; }
  const std::string& name() const { return name_; }  // ":N"
  // Gives every character of the UTF-8 `text` that the keyboard lacks a spare key of its own.
  // xdotool otherwise types such a character by changing a key's meaning for a moment, and a
  // busy program that reads the change late gets another character or none.
  bool addKeysFor(std::string_view text) const;
  // Runs xdotool with `args` on this display, for 20 seconds at most; its output, or nothing when
  // it failed or took longer.
  std::optional<std::string> xdotool(const std::vector<std::string>& args) const;

 private:
  // Runs `program` with `args` on this display, for 20 seconds at most, as xdotool().
  std::optional<std::string> run(const std::string& program,
                                 const std::vector<std::string>& args) const;

  DesktopPrograms programs_;
  std::string folder_;
  std::string name_;
  std::unique_ptr<Child> server_;
};

}  // namespace mevrix::test
