#include "command_line.h"

#include <cerrno>
#include <cstdlib>

namespace mevrix::tool {
namespace {

constexpr std::size_t kDefaultOutputSize = 4096;

bool parseNumber(const std::string& token, double& value) {
  if (token.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtod(token.c_str(), &end);
  return end == token.c_str() + token.size();
}

bool parseInteger(const std::string& token, long long& value) {
  if (token.empty()) return false;
  errno = 0;
  char* end = nullptr;
  value = std::strtoll(token.c_str(), &end, 10);
  return errno == 0 && end == token.c_str() + token.size();
}

// "@@..." stands for a text that begins with "@".
std::string unescape(const std::string& token) {
  return token.rfind("@@", 0) == 0 ? token.substr(1) : token;
}

bool parseText(const std::string& token, Call& call) {
  if (token == "@null") {
    call.textKind = PointerKind::null;
  } else if (token.rfind('@', 0) == 0 && token.rfind("@@", 0) != 0) {
    return false;
  } else {
    call.textKind = PointerKind::text;
    call.text = unescape(token);
  }
  return true;
}

bool parseBuffer(const std::string& token, Call& call) {
  if (token == "@null") {
    call.bufferKind = PointerKind::null;
  } else if (token == "@out") {
    call.bufferKind = PointerKind::output;
    call.outputSize = kDefaultOutputSize;
  } else if (token.rfind("@out:", 0) == 0) {
    long long size = 0;
    if (!parseInteger(token.substr(5), size) || size < 0 || size > (1 << 24)) return false;
    call.bufferKind = PointerKind::output;
    call.outputSize = static_cast<std::size_t>(size);
  } else if (token.rfind('@', 0) == 0 && token.rfind("@@", 0) != 0) {
    return false;
  } else {
    call.bufferKind = PointerKind::text;
    call.bufferText = unescape(token);
  }
  return true;
}

std::optional<Call> parseCall(const std::vector<std::string>& words, std::string& error) {
  Call call;
  call.exportName = words[0];
  if (words.size() > 5) {
    error = "too many arguments for " + call.exportName;
    return std::nullopt;
  }
  if (words.size() > 1 && !parseText(words[1], call)) {
    error = "unknown text form '" + words[1] + "' (use @null, or @@ for a leading @)";
    return std::nullopt;
  }
  if (words.size() > 2 && !parseNumber(words[2], call.value)) {
    error = "'" + words[2] + "' is not a number";
    return std::nullopt;
  }
  if (words.size() > 3 && !parseBuffer(words[3], call)) {
    error = "unknown buffer form '" + words[3] + "' (use @null, @out, @out:N, or @@ for a leading @)";
    return std::nullopt;
  }
  if (words.size() > 4) {
    long long length = 0;
    if (!parseInteger(words[4], length)) {
      error = "'" + words[4] + "' is not an integer buffer length";
      return std::nullopt;
    }
    call.bufferLength = length;
  }
  return call;
}

}  // namespace

const char* const kUsage =
    "usage: mevrix [--lib PATH] [--stop-on-error] CALL [+ CALL]...\n"
    "       mevrix [--lib PATH] --list\n"
    "       mevrix --version\n"
    "\n"
    "Loads the Mevrix plug-in and calls its exports in order, in one process, so that what one\n"
    "call sets (a date, a file list, an open folder) is there for the next. Prints each result.\n"
    "\n"
    "  CALL     EXPORT [TEXT [VALUE [BUF1 [BUF1LEN]]]]\n"
    "  TEXT     the text argument; @null (the default) passes a null pointer\n"
    "  VALUE    the number argument (default 0); nan, inf and -inf are accepted\n"
    "  BUF1     a text passed as buf1 (a second path); @null (the default) passes null;\n"
    "           @out or @out:N passes an empty buffer of 4096 or N bytes and prints what the\n"
    "           export left in it\n"
    "  BUF1LEN  the buf1Len argument (default: the buffer's size, or 0 for null)\n"
    "           A leading @ of a text is written @@.\n"
    "\n"
    "  --lib PATH        the plug-in to load (default: the one beside this program)\n"
    "  --list            print the names of the exports the plug-in has\n"
    "  --stop-on-error   stop at the first negative result, exit status 3\n"
    "  --help            this text\n"
    "  --version         print the version of this program\n"
    "\n"
    "example:\n"
    "  mevrix setDate 2026-12-07 + setTxrName skin + writeCollada head.obj 2 head.dae\n"
    "\n"
    "exit status: 0 when every call was made, 1 for a usage mistake, 2 when the plug-in or an\n"
    "export cannot be found, 3 with --stop-on-error.\n";

std::optional<CommandLine> parseCommandLine(const std::vector<std::string>& args,
                                            std::string& error) {
  CommandLine line;
  std::size_t i = 0;
  for (; i < args.size() && args[i].rfind("--", 0) == 0; ++i) {
    const std::string& option = args[i];
    if (option == "--help") {
      line.help = true;
    } else if (option == "--version") {
      line.version = true;
    } else if (option == "--list") {
      line.list = true;
    } else if (option == "--stop-on-error") {
      line.stopOnError = true;
    } else if (option == "--lib") {
      if (++i == args.size()) {
        error = "--lib needs a path";
        return std::nullopt;
      }
      line.libraryPath = args[i];
    } else {
      error = "unknown option " + option;
      return std::nullopt;
    }
  }
  if (i < args.size() && args.back() == "+") {
    error = "a '+' must stand between two calls";
    return std::nullopt;
  }
  std::vector<std::string> words;
  for (; i <= args.size(); ++i) {
    if (i < args.size() && args[i] != "+") {
      words.push_back(args[i]);
      continue;
    }
    if (words.empty()) {
      if (i < args.size()) {
        error = "a '+' must stand between two calls";
        return std::nullopt;
      }
      break;
    }
    std::optional<Call> call = parseCall(words, error);
    if (!call) return std::nullopt;
    line.calls.push_back(std::move(*call));
    words.clear();
  }
  if (!line.help && !line.version && !line.list && line.calls.empty()) {
    error = "nothing to call";
    return std::nullopt;
  }
  return line;
}

}  // namespace mevrix::tool
