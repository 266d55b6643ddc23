#pragma once
// Running a program and collecting what it printed.

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

}  // namespace mevrix::test
