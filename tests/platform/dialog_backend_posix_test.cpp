// The POSIX file-open dialog: laying out what a dialog program prints, and the real plug-in
// running fake `zenity` and `kdialog` scripts put first on PATH.

#include "platform/dialog_backend_posix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "support/plugin.h"
#include "support/process.h"
#include "support/scoped_variable.h"
#include "support/temp_dir.h"

namespace mevrix::platform {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// The list laid out from `output`, up to its closing empty entry, or "<refused>".
std::string layOut(std::string_view output, std::size_t size = 4096) {
  std::string buffer(size, '#');
  if (!layOutSelection(output, buffer.data(), size)) {
    EXPECT_EQ(buffer, std::string(size, '#')) << "written although refused";
    return "<refused>";
  }
  const std::size_t end = buffer.find("\0\0"sv);
  return end == std::string::npos ? "<unterminated>" : buffer.substr(0, end + 2);
}

TEST(PosixDialogLayout, OnePathOrAFolderAndNames) {
  EXPECT_EQ(layOut("/m/one.obj\n"), "/m/one.obj\0\0"s);
  EXPECT_EQ(layOut("/m/a\n/m/b\n/m/c\n"), "/m\0a\0b\0c\0\0"s);
  EXPECT_EQ(layOut("/a\n/b\n"), "/\0a\0b\0\0"s);
}

TEST(PosixDialogLayout, FilesFromDifferentFoldersShareTheirLongestCommonFolder) {
  EXPECT_EQ(layOut("/m/p/x\n/m/q/r/y\n"), "/m\0p/x\0q/r/y\0\0"s);
  EXPECT_EQ(layOut("/m/ab/x\n/m/abc/y\n"), "/m\0ab/x\0abc/y\0\0"s);  // folders, not prefixes
  EXPECT_EQ(layOut("/m/x\n/m/sub/y\n"), "/m\0x\0sub/y\0\0"s);
  EXPECT_EQ(layOut("/x\n/m/y\n"), "/\0x\0m/y\0\0"s);
}

TEST(PosixDialogLayout, RefusesOddOutputAndWhatDoesNotFit) {
  for (std::string_view odd :
       {""sv, "\n"sv, "m/x\n"sv, "/m/\n"sv, "/m/a\n\n/m/b\n"sv, "/m/a\0b\n/m/c\n"sv}) {
    EXPECT_EQ(layOut(odd), "<refused>") << odd;
  }
  EXPECT_EQ(layOut("/m/one.obj\n", 12), "/m/one.obj\0\0"s);
  EXPECT_EQ(layOut("/m/one.obj\n", 11), "<refused>");
  EXPECT_EQ(layOut("/m/a\n/m/b\n", 8), "/m\0a\0b\0\0"s);
  EXPECT_EQ(layOut("/m/a\n/m/b\n", 7), "<refused>");
}

using test::ScopedVariable;

// A desktop whose dialog programs are scripts that log their arguments, one "[arg]" per line,
// print a prepared selection and exit with a prepared status; asked for their version, they
// print a prepared report.
class PosixDialogProgram : public ::testing::Test {
 protected:
  PosixDialogProgram() { std::filesystem::create_directory(bin()); }

  std::string bin() const { return temp.file("bin"); }
  std::string log() const { return temp.file("arguments"); }

  // Each of `paths` made as an empty file under the test's folder, as the lines a dialog program
  // prints for them.
  std::string files(const std::vector<std::string>& paths) const {
    std::string output;
    for (const std::string& name : paths) {
      std::filesystem::create_directories(std::filesystem::path(at(name)).parent_path());
      output += temp.write(name.substr(1), "") + "\n";
    }
    return output;
  }
  std::string at(std::string_view name) const { return temp.path().string() + std::string(name); }

  void install(const std::string& program, std::string_view selection, int status = 0,
               std::string_view version = "kdialog 22.12.3") const {
    auto quoted = [](std::string_view text) {
      std::string escaped;
      for (char c : text) escaped += c == '\'' ? "'\\''"s : std::string(1, c);
      return "'" + escaped + "'";
    };
    const std::string script = temp.write(
        "bin/" + program, "#!/bin/sh\n[ \"$1\" = --version ] && printf '%s\\n' " + quoted(version) +
                              " && exit 0\nfor a in \"$@\"; do printf '[%s]\\n' \"$a\"; done > " +
                              quoted(log()) + "\nprintf '%s' " + quoted(selection) + "\nexit " +
                              std::to_string(status) + "\n");
    chmod(script.c_str(), 0755);
  }
  std::string arguments() const {
    return std::filesystem::exists(log()) ? test::readFile(log()) : "<not run>";
  }
  std::string fileInfo(const char* selector, double index) const {
    char text[4096] = "#";
    const float length = plugIn.get("GetFileInfo")(selector, index, text, sizeof text);
    return length > 0 ? text : "<" + std::string(text) + ">";
  }

  test::TempDir temp;
  test::PlugIn plugIn;
  ScopedVariable path{"PATH", (bin() + ":" + std::getenv("PATH")).c_str()};
  ScopedVariable display{"DISPLAY", ":99"};
  ScopedVariable wayland{"WAYLAND_DISPLAY", nullptr};
};

TEST_F(PosixDialogProgram, ZenityShowsTheRequestAndItsSelectionBecomesTheList) {
  install("zenity", files({"/m/a.obj", "/m/b.obj", "/m/c.obj"}));
  plugIn.call("SetDialogTitle", "Pick meshes");
  plugIn.call("SetDefaultDir", "/home/me/meshes");
  EXPECT_EQ(plugIn.call("GetFileList", "Meshes|*.obj; *.dae|All files|*.*", 0.0), 3.0f);
  EXPECT_EQ(arguments(),
            "[--file-selection]\n[--title=Pick meshes]\n[--filename=/home/me/meshes/]\n"
            "[--multiple]\n[--separator=\n]\n[--file-filter=Meshes | *.obj *.dae]\n"
            "[--file-filter=All files | *]\n");
  EXPECT_EQ(fileInfo("fullname", 2.0), at("/m/b.obj"));
  EXPECT_EQ(fileInfo("name", 3.0), "c.obj");
  EXPECT_EQ(fileInfo("fullname", 1.9), at("/m/a.obj"));
  EXPECT_EQ(fileInfo("fullname", 0.5), "<#>");
  EXPECT_EQ(fileInfo("fullname", 4.0), "<#>");
}

TEST_F(PosixDialogProgram, SingleSelectionOnlyForExactlyOne) {
  install("zenity", files({"/m/one.obj"}));
  plugIn.call("SetDialogTitle", nullptr);
  plugIn.call("SetDefaultDir", nullptr);
  EXPECT_EQ(plugIn.call("GetFileList", nullptr, 1.0), 1.0f);
  EXPECT_EQ(arguments(), "[--file-selection]\n[--title=Select Files]\n[--file-filter=*.* | *]\n");
  EXPECT_EQ(fileInfo("fullname", 1.0), at("/m/one.obj"));
  EXPECT_EQ(fileInfo("name", 1.0), "one.obj");
  for (double multiple : {0.0, 2.0, -1.0}) {
    EXPECT_EQ(plugIn.call("GetFileList", "", multiple), 1.0f);
    EXPECT_NE(arguments().find("[--multiple]"), std::string::npos) << multiple;
  }
}

TEST_F(PosixDialogProgram, FilesFromDifferentFoldersKeepWorkingFullNames) {
  install("zenity", files({"/t/a/x.obj", "/t/b/y.obj"}));
  EXPECT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 2.0f);
  EXPECT_EQ(fileInfo("fullname", 1.0), at("/t/a/x.obj"));
  EXPECT_EQ(fileInfo("fullname", 2.0), at("/t/b/y.obj"));
  EXPECT_EQ(fileInfo("name", 2.0), "b/y.obj");
}

TEST_F(PosixDialogProgram, ACancelAPathOfNoFileATooLargeSelectionOrNoDisplayLeaveAnEmptyList) {
  const std::string two = files({"/m/a", "/m/b"});
  std::vector<std::string> many;  // 21 names of 200 characters behind "/m" need over 4225 bytes
  for (int i = 0; i < 21; ++i) many.push_back("/m/" + std::string(200, 'a' + i));
  for (const std::string& refused :
       {""s, two + at("/m/gone") + "\n", two + at("/m") + "\n", files(many)}) {
    install("zenity", two);
    ASSERT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 2.0f);
    install("zenity", refused, refused.empty() ? 1 : 0);
    EXPECT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 0.0f) << refused;
    EXPECT_EQ(fileInfo("fullname", 1.0), "<>");
  }

  install("zenity", two);
  std::filesystem::remove(log());
  ScopedVariable noDisplay("DISPLAY", "");
  EXPECT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 0.0f);
  EXPECT_EQ(arguments(), "<not run>");
}

TEST_F(PosixDialogProgram, OutputBeyondAnyListIsReadToItsEndAndCountsAsACancel) {
  // 20 MB, far more than the paths a 4096-byte list can hold: kept nowhere, but read to the end
  // so that the program is not left blocked on a full pipe.
  const std::string script =
      temp.write("bin/zenity", "#!/bin/sh\nhead -c 20000000 /dev/zero | tr '\\0' /\n");
  chmod(script.c_str(), 0755);
  EXPECT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 0.0f);
  EXPECT_EQ(fileInfo("fullname", 1.0), "<>");
}

TEST_F(PosixDialogProgram, KdialogWhenThereIsNoZenityAndNothingWithoutEither) {
  ScopedVariable onlyKdialog("PATH", bin().c_str());
  plugIn.call("SetDialogTitle", "Pick");
  plugIn.call("SetDefaultDir", "/home/me");
  // The filter form follows the version kdialog reports: KDE 4 and before took "patterns|name".
  for (const auto& [version, filter] :
       {std::pair{"kdialog 22.12.3"s, "Meshes (*.obj *.dae)\nAny (*)"s},
        {"Qt: 4.8.7\nKDE Development Platform: 4.14.38\nKDialog: 1.0"s,
         "*.obj *.dae|Meshes\n*|Any"s},
        {"Qt: 3.3.8\nKDE: 3.5.10\nKDialog: 1.0"s, "*.obj *.dae|Meshes\n*|Any"s}}) {
    install("kdialog", files({"/m/a.obj", "/m/b.obj"}), 0, version);
    EXPECT_EQ(plugIn.call("GetFileList", "Meshes|*.obj;*.dae|Any", 0.0), 2.0f);
    EXPECT_EQ(arguments(),
              "[--title]\n[Pick]\n[--multiple]\n[--separate-output]\n"
              "[--getopenfilename]\n[/home/me]\n[" +
                  filter + "]\n")
        << version;
    EXPECT_EQ(fileInfo("fullname", 2.0), at("/m/b.obj"));
  }

  std::filesystem::remove(bin() + "/kdialog");
  EXPECT_EQ(plugIn.call("GetFileList", nullptr, 0.0), 0.0f);
  EXPECT_EQ(fileInfo("fullname", 1.0), "<>");
}

// What the README shows: picking files through the host program and reading them back.
TEST_F(PosixDialogProgram, TheHostProgramPicksFilesAndReadsThem) {
  install("zenity", files({"/m/a.obj", "/m/b.obj"}));
  const auto run = test::runProcess(MEVRIX_HOST_PATH, {"SetDialogTitle",
                                                       "Pick meshes",
                                                       "+",
                                                       "GetFileList",
                                                       "Meshes|*.obj",
                                                       "0",
                                                       "+",
                                                       "GetFileInfo",
                                                       "fullname",
                                                       "2",
                                                       "@out",
                                                       "+",
                                                       "GetFileInfo",
                                                       "name",
                                                       "1",
                                                       "@out:6",
                                                       "+",
                                                       "GetFileInfo",
                                                       "name",
                                                       "1",
                                                       "@out:5"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(run.out, "SetDialogTitle: 0\nGetFileList: 2\nGetFileInfo: " +
                         std::to_string(at("/m/b.obj").size()) + " \"" + at("/m/b.obj") +
                         "\"\nGetFileInfo: 5 \"a.obj\"\nGetFileInfo: 0 \"\"\n");
}

TEST(PosixFreshLibrary, StartsWithAnEmptyList) {
  const auto run = test::runProcess(MEVRIX_HOST_PATH, {"GetFileInfo", "fullname", "1", "@out", "+",
                                                       "GetFileInfo", "name", "1", "@out"});
  EXPECT_EQ(run.out, "GetFileInfo: 0 \"\"\nGetFileInfo: 0 \"\"\n");
}

}  // namespace
}  // namespace mevrix::platform
