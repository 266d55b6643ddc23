#pragma once
// Running a program and collecting what it printed.

#include <functional>
#include <string>
#include <vector>

namespace mevrix::test {

struct ProcessResult {
  int exitCode = -1;   // -1 when the program did not exit normally
  std::string out;     // standard output
  std::string err;     // standard error
};

// Runs `program` with `args` (no shell) and waits for it.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

#ifndef _WIN32
// POSIX only. Runs `work` in a child process that is killed after `seconds`, for work that might
// block for ever. Returns what `work` returned (0 to 255), or -1 when the child did not finish in
// time or ended otherwise.
int runInChildWithin(unsigned seconds, const std::function<int()>& work);
#endif

}  // namespace mevrix::test
