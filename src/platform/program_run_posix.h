#pragma once
// Running a helper program as a child process and collecting what it prints.

#include <cstddef>
#include <string>
#include <vector>

namespace mevrix::platform {

struct ProgramRun {
  bool started = false;    // false: the program could not be started (not installed, say)
  bool succeeded = false;  // it exited with status 0 and all its output was kept
  std::string output;
};

// Runs `args` found on PATH (no shell) with `environment` ("NAME=value" entries) as its whole
// environment, its input and errors on /dev/null, and waits for it. Keeps at most `outputLimit`
// bytes of its output; beyond that the output is still read to its end but dropped, and the run
// has not succeeded.
ProgramRun runProgram(const std::vector<std::string>& args,
                      const std::vector<std::string>& environment, std::size_t outputLimit);

}  // namespace mevrix::platform
