#pragma once
// The command line of the `mevrix` host: options, then one or more export calls.

#include <optional>
#include <string>
#include <vector>

namespace mevrix::tool {

// How one argument pointer is passed.
enum class PointerKind { null, text, output };

struct Call {
  std::string exportName;
  PointerKind textKind = PointerKind::null;
  std::string text;
  double value = 0.0;
  PointerKind bufferKind = PointerKind::null;
  std::string bufferText;       // for PointerKind::text
  std::size_t outputSize = 0;   // for PointerKind::output
  std::optional<long long> bufferLength;  // given explicitly; else derived from the buffer
};

struct CommandLine {
  bool help = false;
  bool version = false;
  bool list = false;
  bool stopOnError = false;
  std::string libraryPath;  // empty: the library beside the program
  std::vector<Call> calls;
};

// Parses the arguments behind the program name; on a mistake returns nothing and sets `error`.
std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error);

extern const char* const kUsage;

}  // namespace mevrix::tool
