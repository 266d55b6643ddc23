#include "platform/dialog_programs_posix.h"

#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <charconv>
#include <cstring>

extern char** environ;

namespace mevrix::platform {
namespace {

constexpr char kSeparator = '/';

// One description with the patterns it offers, as glob patterns both dialog programs take.
struct FilterChoice {
  std::string_view description;
  std::vector<std::string_view> patterns;
};

std::string_view trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// Windows separates the patterns of one pair with ";" and matches every name with "*.*"; a
// description without a pattern offers every file.
std::vector<std::string_view> globPatterns(std::string_view patterns) {
  std::vector<std::string_view> globs;
  while (!patterns.empty()) {
    const std::size_t end = std::min(patterns.find(';'), patterns.size());
    const std::string_view pattern = trimSpaces(patterns.substr(0, end));
    if (!pattern.empty()) globs.push_back(pattern == "*.*" ? "*" : pattern);
    patterns.remove_prefix(std::min(end + 1, patterns.size()));
  }
  if (globs.empty()) globs.push_back("*");
  return globs;
}

std::vector<FilterChoice> filterChoices(const char* filter) {
  std::vector<std::string_view> strings;
  for (const char* p = filter; p && *p; p += strings.back().size() + 1) strings.emplace_back(p);
  std::vector<FilterChoice> choices;
  for (std::size_t i = 0; i < strings.size(); i += 2) {
    choices.push_back({strings[i], globPatterns(i + 1 < strings.size() ? strings[i + 1] : "")});
  }
  return choices;
}

std::string joined(const std::vector<std::string_view>& parts, std::string_view glue) {
  std::string text;
  for (std::string_view part : parts) {
    if (!text.empty()) text += glue;
    text += part;
  }
  return text;
}

std::string text(const char* maybeNull) {
  return maybeNull ? maybeNull : "";
}

bool multipleSelection(const OpenFileRequest& request) {
  return (request.flags & kOpenAllowMultiSelect) != 0;
}

// The major version behind `prefix` at the start of a line of `report`, or -1.
int majorVersionAfter(std::string_view report, std::string_view prefix) {
  for (std::size_t start = 0; start < report.size();) {
    const std::size_t end = std::min(report.find('\n', start), report.size());
    std::string_view line = report.substr(start, end - start);
    if (line.starts_with(prefix)) {
      line.remove_prefix(prefix.size());
      int major = -1;
      std::from_chars(line.data(), line.data() + line.size(), major);
      return major;
    }
    start = end + 1;
  }
  return -1;
}

bool isUtf8(locale_t locale) {
  return locale && std::strcmp(nl_langinfo_l(CODESET, locale), "UTF-8") == 0;
}

// Whether the locale named `name` ("" for the one the environment names) exists and has the
// UTF-8 character set.
bool isUtf8Locale(const char* name) {
  const locale_t locale = newlocale(LC_CTYPE_MASK, name, static_cast<locale_t>(nullptr));
  const bool utf8 = isUtf8(locale);
  if (locale) freelocale(locale);
  return utf8;
}

}  // namespace

KdialogFilterForm kdialogFilterForm(std::string_view report) {
  for (std::string_view prefix : {"KDE Development Platform: ", "KDE: "}) {
    const int major = majorVersionAfter(report, prefix);
    if (major >= 0 && major <= 4) return KdialogFilterForm::piped;
  }
  return KdialogFilterForm::described;
}

std::vector<std::string> zenityArguments(const OpenFileRequest& request) {
  std::vector<std::string> args = {"zenity", "--file-selection", "--title=" + text(request.title)};
  std::string folder = text(request.initialDirectory);
  if (!folder.empty()) {
    // A name ending in a separator makes zenity open that folder with nothing preselected.
    if (folder.back() != kSeparator) folder += kSeparator;
    args.push_back("--filename=" + folder);
  }
  if (multipleSelection(request)) {
    args.push_back("--multiple");
    args.push_back("--separator=\n");
  }
  for (const FilterChoice& choice : filterChoices(request.filter)) {
    args.push_back("--file-filter=" + std::string(choice.description) + " | " +
                   joined(choice.patterns, " "));
  }
  return args;
}

std::vector<std::string> kdialogArguments(const OpenFileRequest& request, KdialogFilterForm form) {
  std::vector<std::string> args = {"kdialog", "--title", text(request.title)};
  if (multipleSelection(request)) {
    args.push_back("--multiple");
    args.push_back("--separate-output");
  }
  const std::string folder = text(request.initialDirectory);
  args.push_back("--getopenfilename");
  args.push_back(folder.empty() ? "." : folder);
  std::string filter;
  for (const FilterChoice& choice : filterChoices(request.filter)) {
    if (!filter.empty()) filter += '\n';
    const std::string patterns = joined(choice.patterns, " ");
    const std::string description(choice.description);
    filter += form == KdialogFilterForm::described ? description + " (" + patterns + ")"
                                                   : patterns + "|" + description;
  }
  if (!filter.empty()) args.push_back(filter);
  return args;
}

std::vector<std::string> dialogEnvironment() {
  std::vector<std::string> environment;
  for (char** entry = environ; entry && *entry; ++entry) environment.emplace_back(*entry);
  if (isUtf8Locale("")) return environment;
  for (const char* name : {"C.UTF-8", "en_US.UTF-8"}) {
    if (!isUtf8Locale(name)) continue;
    std::erase_if(environment,
                  [](const std::string& entry) { return entry.starts_with("LC_ALL="); });
    environment.push_back(std::string("LC_ALL=") + name);
    break;
  }
  return environment;
}

}  // namespace mevrix::platform
