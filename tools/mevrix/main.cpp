// mevrix: a command-line host for the Mevrix plug-in. It loads the shared library by path,
// resolves exports by name and calls them in order, printing each float result and any string
// an export left in its buffer.

#include <charconv>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "command_line.h"
#include "export_names.h"
#include "library.h"
#include "mevrix_version.h"

namespace mevrix::tool {
namespace {

std::string formatResult(float result) {
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, result).ptr;
  return std::string(text, end);
}

// The buffer's string up to its first NUL, quoted, with unprintable bytes escaped.
std::string quoteBuffer(const std::vector<char>& buffer) {
  std::string quoted = "\"";
  for (char c : buffer) {
    if (c == '\0') break;
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      quoted += '\\';
      quoted += c;
    } else if (byte < 0x20 || byte == 0x7f) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", byte);
      quoted += escaped;
    } else {
      quoted += c;
    }
  }
  return quoted + "\"";
}

float invoke(ExportFunction function, const Call& call, std::vector<char>& output) {
  const char* text = call.textKind == PointerKind::text ? call.text.c_str() : nullptr;
  char* buffer = nullptr;
  long long length = 0;
  std::vector<char> input;
  if (call.bufferKind == PointerKind::text) {
    input.assign(call.bufferText.begin(), call.bufferText.end());
    input.push_back('\0');
    buffer = input.data();
    length = static_cast<long long>(input.size());
  } else if (call.bufferKind == PointerKind::output) {
    output.assign(call.outputSize, '\0');
    buffer = output.empty() ? nullptr : output.data();
    length = static_cast<long long>(output.size());
  }
  if (call.bufferLength) length = *call.bufferLength;
  return function(text, call.value, buffer, static_cast<int>(length));
}

int run(const CommandLine& line) {
  std::string error;
  const std::string path = line.libraryPath.empty() ? defaultLibraryPath() : line.libraryPath;
  std::optional<Library> library = Library::load(path, error);
  if (!library) {
    std::fprintf(stderr, "mevrix: %s\n", error.c_str());
    return 2;
  }
  if (line.list) {
    for (std::string_view name : kKnownExportNames) {
      if (library->find(std::string(name))) std::printf("%.*s\n", int(name.size()), name.data());
    }
  }
  // Resolve every name first, so that a misspelt call does not leave half a job done.
  std::vector<ExportFunction> functions;
  for (const Call& call : line.calls) {
    ExportFunction function = library->find(call.exportName);
    if (!function) {
      std::fprintf(stderr, "mevrix: the plug-in has no export named '%s'\n",
                   call.exportName.c_str());
      return 2;
    }
    functions.push_back(function);
  }
  for (std::size_t i = 0; i < line.calls.size(); ++i) {
    const Call& call = line.calls[i];
    std::vector<char> output;
    const float result = invoke(functions[i], call, output);
    std::printf("%s: %s", call.exportName.c_str(), formatResult(result).c_str());
    if (call.bufferKind == PointerKind::output) std::printf(" %s", quoteBuffer(output).c_str());
    std::printf("\n");
    std::fflush(stdout);
    if (line.stopOnError && result < 0) return 3;
  }
  return 0;
}

}  // namespace
}  // namespace mevrix::tool

int main(int argc, char** argv) {
  using namespace mevrix::tool;
  std::vector<std::string> args(argv + 1, argv + argc);
  std::string error;
  std::optional<CommandLine> line = parseCommandLine(args, error);
  if (!line) {
    std::fprintf(stderr, "mevrix: %s\n%s", error.c_str(), kUsage);
    return 1;
  }
  if (line->help) {
    std::fputs(kUsage, stdout);
    return 0;
  }
  if (line->version) {
    std::puts("mevrix " MEVRIX_VERSION_TEXT);
    return 0;
  }
  return run(*line);
}
