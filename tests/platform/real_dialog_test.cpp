// The real dialog programs on a private virtual display, picked by keyboard as a person picks,
// through the host program and the built plug-in: every GetFileList and GetFileInfo result, with
// folders and names with spaces and accents, and with the host under a non-UTF-8 locale.

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "platform/virtual_desktop.h"
#include "support/temp_dir.h"

extern char** environ;

namespace mevrix::test {
namespace {

using namespace std::chrono_literals;
using Strokes = std::vector<std::vector<std::string>>;  // xdotool runs, in order

// "{tree}" in a stroke stands for the test's folder of files.
constexpr std::string_view kTree = "{tree}";

Strokes zenityTyped(const std::string& file) {
  return {{"key", "ctrl+l", "ctrl+a", "type", "--delay", "20", std::string(kTree) + "/" + file},
          {"key", "Return"}};
}

// kdialog's "File name" field is reached with alt+n, its list of files with shift+Tab from there.
Strokes kdialogTyped(const std::string& file) {
  return {{"key", "alt+n", "ctrl+a", "type", "--delay", "20", std::string(kTree) + "/" + file},
          {"key", "Return"}};
}

const Strokes kZenitySelectAll = {{"key", "ctrl+a"}, {"key", "Return"}};
const Strokes kKdialogSelectAll = {{"key", "alt+n", "shift+Tab", "ctrl+a"}, {"key", "Return"}};
const Strokes kEscape = {{"key", "Escape"}};

// One dialog: what the host asks for, the keys a person presses once the window shows and then
// again every few seconds until it closes (a dialog still filling its list may miss them), and
// the files the plug-in then lists, under the test's folder.
struct Pick {
  std::string program;  // "zenity", or "kdialog" alone on PATH
  std::string locale;   // the host's LC_ALL
  std::string folder;   // SetDefaultDir under the test's folder; "" for none
  std::string filter;   // "" for none
  std::string mode;     // GetFileList's value: "1" for one file
  Strokes once;
  Strokes repeated;
  std::vector<std::string> chosen;
};

const std::string kDir = "Dossier été";
const std::vector<std::string> kFiles = {kDir + "/b c.obj", kDir + "/naïve ñ 1.obj",
                                         kDir + "/naïve ñ 2.obj", kDir + "/notes 1.txt",
                                         kDir + "/notes ü.txt"};

// clang-format off
const std::vector<Pick> kPicks = {
  {"zenity", "C", kDir + "/", "Meshes|*.obj", "1", {}, zenityTyped(kFiles[2]), {kFiles[2]}},
  {"zenity", "C", kDir, "Meshes|*.obj|All files|*.*", "0", {}, kZenitySelectAll,
   {kFiles[0], kFiles[1], kFiles[2]}},
  {"zenity", "C.UTF-8", "", "", "0", {}, zenityTyped(kFiles[0]), {kFiles[0]}},
  {"zenity", "C.UTF-8", kDir, "Meshes|*.obj", "1", {}, kEscape, {}},
  {"kdialog", "C", kDir + "/", "Meshes|*.obj", "1", {}, kdialogTyped(kFiles[1]), {kFiles[1]}},
  // The second filter: from the name field to the file types, and one down.
  {"kdialog", "C", kDir, "Meshes|*.obj|Notes|*.txt", "0", {{"key", "alt+n", "Tab", "Down"}},
   kKdialogSelectAll, {kFiles[3], kFiles[4]}},
  {"kdialog", "C.UTF-8", kDir, "", "0", {}, kEscape, {}},
};
// clang-format on

std::string replaced(std::string text, std::string_view what, const std::string& with) {
  for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at)) {
    text.replace(at, what.size(), with);
    at += with.size();
  }
  return text;
}

std::string fileInfoLine(const std::string& text) {
  return "GetFileInfo: " + std::to_string(text.size()) + " \"" + text + "\"\n";
}

class RealDialog {
 public:
  RealDialog(const TempDir& temp, const VirtualDisplay& display)
      : temp_(temp), display_(display), tree_(temp.file("tree")) {}

  // Runs one pick to its end within `deadline`; a failure is reported and the pick ended.
  void run(const Pick& pick, const std::string& path, const std::string& title,
           Clock::time_point deadline) {
    const std::string folder = pick.folder.empty() ? "@null" : at(pick.folder);
    const std::string filter = pick.filter.empty() ? "@null" : pick.filter;
    std::vector<std::string> args = {MEVRIX_HOST_PATH, "SetDialogTitle", title, "+",
                                     "SetDefaultDir",  folder,           "+",   "GetFileList",
                                     filter,           pick.mode};
    std::string expected = "SetDialogTitle: 0\nSetDefaultDir: 0\nGetFileList: ";
    expected += std::to_string(pick.chosen.size()) + "\n";
    for (std::size_t i = 0; i <= pick.chosen.size(); ++i) {
      for (const char* selector : {"fullname", "name"}) {
        args.insert(args.end(), {"+", "GetFileInfo", selector, std::to_string(i + 1), "@out"});
      }
      const std::string file = i < pick.chosen.size() ? at(pick.chosen[i]) : "";
      expected += fileInfoLine(file) + fileInfoLine(file.substr(file.rfind('/') + 1));
    }

    const std::string output = temp_.file("host.out");
    Child host(args, environment(pick.locale, path), output);
    ASSERT_TRUE(host.started());
    const std::vector<std::string> search = {"search", "--onlyvisible", "--name",
                                             "^" + title + "$"};
    std::optional<std::string> windows;
    while (!(windows = display_.xdotool(search)) && !host.endedBy(Clock::now()) &&
           Clock::now() < deadline) {
      std::this_thread::sleep_for(100ms);
    }
    if (windows) {
      display_.xdotool({"windowfocus", "--sync", windows->substr(0, windows->find('\n'))});
      send(pick.once);
      do {
        send(pick.repeated);
      } while (!host.endedBy(std::min(deadline, Clock::now() + 5s)) && Clock::now() < deadline);
    }
    ASSERT_TRUE(host.endedBy(Clock::now())) << "the dialog did not close in time";
    EXPECT_EQ(host.exitCode(), 0);
    EXPECT_EQ(readFile(output), expected);
  }

 private:
  std::string at(const std::string& name) const { return tree_ + "/" + name; }

  void send(const Strokes& strokes) const {
    for (const std::vector<std::string>& stroke : strokes) {
      std::vector<std::string> args;
      for (const std::string& arg : stroke) args.push_back(replaced(arg, kTree, tree_));
      display_.xdotool(args);
    }
  }

  // A bare session: the dialogs keep their settings and recent files in the test's folder and
  // reach no session bus; the sanitizers' options pass on.
  std::vector<std::string> environment(const std::string& locale, const std::string& path) const {
    const std::string home = temp_.file("home");
    std::vector<std::string> variables = {
        "PATH=" + path,
        "LC_ALL=" + locale,
        "DISPLAY=" + display_.name(),
        "HOME=" + home,
        "XDG_CONFIG_HOME=" + home + "/config",
        "XDG_DATA_HOME=" + home + "/data",
        "XDG_CACHE_HOME=" + home + "/cache",
        "XDG_RUNTIME_DIR=" + temp_.file("runtime"),
        "DBUS_SESSION_BUS_ADDRESS=unix:path=" + temp_.file("no-bus"),
        "GSETTINGS_BACKEND=memory",
        "NO_AT_BRIDGE=1"};
    for (char** entry = environ; *entry; ++entry) {
      const std::string_view variable = *entry;
      if (variable.find("SAN_OPTIONS=") != std::string_view::npos) variables.emplace_back(variable);
    }
    return variables;
  }

  const TempDir& temp_;
  const VirtualDisplay& display_;
  std::string tree_;
};

#ifdef __SANITIZE_ADDRESS__  // the sanitizer build (-fsanitize=address)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif

TEST(PosixRealDialog, PicksByKeyboardAsAPersonDoes) {
  if (kSanitized) {
    // The plug-in's part (arguments, environment, checking and laying out the selection) runs
    // under the sanitizers in the fake-program tests; the real programs add nothing there.
    GTEST_SKIP() << "the real dialogs are tried in the release build";
  }
  DesktopPrograms programs;
  for (auto [found, name] : {std::pair{&programs.xvfb, "Xvfb"},
                             {&programs.xdotool, "xdotool"},
                             {&programs.xmodmap, "xmodmap"}}) {
    *found = findProgram(name);
    if (found->empty()) {
      GTEST_SKIP() << "the real dialogs need Xvfb, xdotool and xmodmap (scripts/install-deps "
                      "installs them), and there is no "
                   << name;
    }
  }
  TempDir temp;
  for (const std::string& file : kFiles) {
    std::filesystem::create_directories(
        std::filesystem::path(temp.file("tree/" + file)).parent_path());
    temp.write("tree/" + file, "");
  }
  std::filesystem::create_directories(temp.file("home"));
  std::filesystem::create_directory(temp.file("runtime"));
  chmod(temp.file("runtime").c_str(), 0700);
  // kdialog is what the library runs when there is no zenity on PATH.
  std::filesystem::create_directory(temp.file("kdialog-only"));
  const std::string kdialog = findProgram("kdialog");
  if (!kdialog.empty()) std::filesystem::create_symlink(kdialog, temp.file("kdialog-only/kdialog"));

  VirtualDisplay display(programs, temp.path().string());
  ASSERT_TRUE(display.running()) << "Xvfb did not start: " << readFile(temp.file("xvfb.log"));
  std::string typed;
  for (const std::string& file : kFiles) typed += file;
  ASSERT_TRUE(display.addKeysFor(typed));
  RealDialog dialog(temp, display);
  // ctest ends a test after 10 minutes; every pick ends well before.
  const Clock::time_point end = Clock::now() + 7min;
  std::string skipped;
  for (std::size_t row = 0; row < kPicks.size(); ++row) {
    const Pick& pick = kPicks[row];
    const std::string number = std::to_string(row + 1);
    if (findProgram(pick.program).empty()) {
      skipped += " " + number;
      continue;
    }
    SCOPED_TRACE("pick " + number + ": " + pick.program + ", LC_ALL=" + pick.locale);
    const std::string path =
        pick.program == "kdialog" ? temp.file("kdialog-only") : std::getenv("PATH");
    dialog.run(pick, path, "Mevrix pick " + number, std::min(end, Clock::now() + 90s));
  }
  if (!skipped.empty()) {
    GTEST_SKIP() << "zenity or kdialog is not installed: picks" << skipped << " not tried";
  }
}

}  // namespace
}  // namespace mevrix::test
