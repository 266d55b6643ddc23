// The file-open dialog's request and the list it leaves, with a fake dialog in place of the
// system's; and the settings the request carries.

#include "fileutil/file_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "support/temp_dir.h"

namespace mevrix::fileutil {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;

// Records the request it is shown and answers with `selection` written into the result buffer.
class FakeDialog : public platform::DialogBackend {
 public:
  bool chosen = true;
  std::string selection;

  int calls = 0;
  platform::OpenFileRequest request;
  std::string filter;  // the filter's bytes up to and including its closing empty string
  std::string folder, title;

  bool openFile(const platform::OpenFileRequest& shown) override {
    ++calls;
    request = shown;
    const char* end = shown.filter;
    while (*end) end += std::strlen(end) + 1;
    filter.assign(shown.filter, static_cast<std::size_t>(end - shown.filter) + 1);
    folder = shown.initialDirectory;
    title = shown.title;
    std::copy_n(selection.begin(), std::min<std::size_t>(selection.size(), shown.fileSize),
                shown.file);
    return chosen;
  }
};

bool isEmpty(const FileListBuffer& list) {
  return std::all_of(list.begin(), list.end(), [](char c) { return c == '\0'; });
}

std::string fullName(const FileListBuffer& list, int index) {
  char path[512];
  return lookUpFile(list, "fullname", index, path) > 0 ? path : "<none>";
}

// The list of new empty files in `temp` that takes `bytes` bytes, its closing NUL included: its
// folder, names of 49 characters beginning with `tag`, and one of the rest (under 100), so that
// every path stays short enough for the system's 8-bit calls.
std::string filesListedIn(const test::TempDir& temp, std::size_t bytes, char tag) {
  std::string list = temp.path().string() + '\0';
  const std::size_t fullNames = (bytes - list.size() - 1 - 50) / 50;
  for (std::size_t i = 0; i <= fullNames; ++i) {
    std::string name = tag + std::to_string(i) + "_";
    name.resize(i < fullNames ? 49 : bytes - list.size() - 2, 'x');
    temp.write(name, "");
    list += name + '\0';
  }
  return list + '\0';
}

TEST(FileDialog, AsksForTheListAsResultBufferWithFilterTitleFolderAndFlags) {
  DialogSettings settings;
  setDialogTitle(settings, "Pick meshes");
  setDefaultDirectory(settings, "/home/me/meshes");
  FileListBuffer list{};
  FakeDialog dialog;
  dialog.chosen = false;

  EXPECT_EQ(getFileList(list, settings, "Meshes|*.obj;*.dae|All|*.*", false, dialog), 0);
  ASSERT_EQ(dialog.calls, 1);
  EXPECT_EQ(dialog.filter, "Meshes\0*.obj;*.dae\0All\0*.*\0\0"sv);
  EXPECT_EQ(dialog.request.owner, nullptr);
  EXPECT_EQ(dialog.request.filterIndex, 1u);
  EXPECT_EQ(dialog.request.file, list.data());
  EXPECT_EQ(dialog.request.fileSize, 4096u);
  EXPECT_EQ(dialog.folder, "/home/me/meshes");
  EXPECT_EQ(dialog.title, "Pick meshes");
  EXPECT_EQ(dialog.request.flags, 0x5804u | 0x200u | 0x80000u);

  getFileList(list, DialogSettings{}, nullptr, true, dialog);
  EXPECT_EQ(dialog.filter, "*.*\0\0"sv);
  EXPECT_EQ(dialog.folder, "");
  EXPECT_EQ(dialog.title, "Select Files");
  EXPECT_EQ(dialog.request.flags, 0x5804u);
}

TEST(FileDialog, AcceptsFilterTextsUpTo255Characters) {
  const std::string longest(255, 'x');
  const auto filter = makeDialogFilter(longest.c_str());
  ASSERT_TRUE(filter.has_value());
  EXPECT_EQ(std::string_view(filter->data(), 257), longest + "\0\0"s);

  FileListBuffer list;
  list.fill('z');
  FakeDialog dialog;
  const std::string tooLong(256, 'x');
  EXPECT_EQ(getFileList(list, DialogSettings{}, tooLong.c_str(), false, dialog), -1);
  EXPECT_EQ(dialog.calls, 0);
  EXPECT_TRUE(isEmpty(list));
}

TEST(FileDialog, TheSelectionBecomesTheList) {
  test::TempDir temp;
  for (const char* name : {"a.obj", "b.obj", "c.obj"}) temp.write(name, "");
  FileListBuffer list{};
  FakeDialog dialog;
  // One file chosen in a multiple-selection dialog.
  dialog.selection = temp.file("a.obj") + "\0\0"s;
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 1);
  EXPECT_EQ(fullName(list, 1), temp.file("a.obj"));

  dialog.selection = temp.path().string() + "\0a.obj\0b.obj\0c.obj\0\0"s;
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 3);
  EXPECT_EQ(fullName(list, 2), temp.file("b.obj"));
  EXPECT_EQ(fullName(list, 4), "<none>");
}

// A dialog may report success with a list that cannot be used as it is: cut at the buffer's end,
// more files than may be chosen, a changed name. The whole selection then counts as cancelled.
TEST(FileDialog, ASelectionCutShortTooLargeForItsModeOrOfWhatIsNoFileCountsAsCancelled) {
  test::TempDir temp;
  const std::string folder = temp.path().string();
  temp.write("a", "");
  temp.write("b", "");
  std::filesystem::create_directory(temp.file("sub"));
  const std::string full = filesListedIn(temp, 4096, 'f');
  const int fullCount = static_cast<int>(std::count(full.begin(), full.end(), '\0')) - 2;
  struct Row {
    std::string selection;
    bool single;
    int count;
  };
  const Row rows[] = {
      {folder + "\0a\0b\0\0"s, false, 2},
      {folder + "\0a\0b\0\0"s, true, 0},
      {temp.file("a") + "\0\0"s, true, 1},
      {folder + "\0a\0gone\0\0"s, false, 0},
      {temp.file("sub") + "\0\0"s, false, 0},
      {"\0\0"s, false, 0},
      {full, false, fullCount},
      // Written up to the buffer's last byte, the NUL of the last name: no closing pair.
      {filesListedIn(temp, 4097, 'g'), false, 0},
  };
  for (const Row& row : rows) {
    FileListBuffer list{};
    FakeDialog dialog;
    dialog.selection = row.selection;
    EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, row.single, dialog), row.count)
        << row.selection.size() << " bytes, single " << row.single;
    if (row.count == 0) {
      EXPECT_TRUE(isEmpty(list));
    }
  }
}

TEST(FileDialog, ACancelOrAFailureLeavesAnEmptyList) {
  test::TempDir temp;
  temp.write("a.obj", "");
  temp.write("b.obj", "");
  FileListBuffer list{};
  FakeDialog dialog;
  dialog.selection = temp.path().string() + "\0a.obj\0b.obj\0\0"s;
  ASSERT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 2);

  dialog.chosen = false;
  dialog.selection.clear();
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 0);
  EXPECT_TRUE(isEmpty(list));

  // A selection too large for the buffer: the Windows dialog fails and leaves the size it needed
  // in the buffer's first bytes.
  dialog.selection = "\x12\x34"s;
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 0);
  EXPECT_TRUE(isEmpty(list));
}

TEST(DialogSettings, KeepTextsThatFitAndFallBackOtherwise) {
  DialogSettings settings;
  const std::string folder(511, 'd');
  setDefaultDirectory(settings, folder.c_str());
  EXPECT_EQ(settings.defaultDirectory.data(), folder);
  setDefaultDirectory(settings, (folder + "d").c_str());
  EXPECT_STREQ(settings.defaultDirectory.data(), "");
  setDefaultDirectory(settings, "/x");
  setDefaultDirectory(settings, nullptr);
  EXPECT_STREQ(settings.defaultDirectory.data(), "");

  const std::string title(255, 't');
  setDialogTitle(settings, title.c_str());
  EXPECT_EQ(settings.title.data(), title);
  setDialogTitle(settings, "");
  EXPECT_STREQ(settings.title.data(), "");
  setDialogTitle(settings, (title + "t").c_str());
  EXPECT_STREQ(settings.title.data(), "Select Files");
  setDialogTitle(settings, "Pick");
  setDialogTitle(settings, nullptr);
  EXPECT_STREQ(settings.title.data(), "Select Files");
}

}  // namespace
}  // namespace mevrix::fileutil
