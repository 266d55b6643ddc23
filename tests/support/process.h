#pragma once
// Running a program and collecting what it printed.

#include <functional>
#include <string>
#include <vector>

namespace mevrix::test {

struct ProcessResult {
  // -1 when the program did not exit normally: killed by a signal, or on Windows ended by an
  // exception such as an access violation.
  int exitCode = -1;
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs `program` with `args` (no shell, no PATH search; on Windows `program` names the file with
// its .exe) and waits for it. The arguments reach the program unchanged on either system.
ProcessResult runProcess(const std::string& program, const std::vector<std::string>& args);

#ifndef _WIN32
// POSIX only. Runs `work` in a child process that is killed after `seconds`, for work that might
// block for ever. Returns what `work` returned (0 to 255), or -1 when the child did not finish in
// time or ended otherwise.
int runInChildWithin(unsigned seconds, const std::function<int()>& work);

// POSIX only, for a child process. Makes every write beyond `bytes` of a file fail, as on a full
// disk, instead of ending the process.
void limitFileSize(unsigned long bytes);
#endif

}  // namespace mevrix::test
