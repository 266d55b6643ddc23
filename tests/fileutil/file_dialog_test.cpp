// The file-open dialog's request and the list it leaves, with a fake dialog in place of the
// system's; and the settings the request carries.

#include "fileutil/file_dialog.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "support/path_separators.h"

namespace mevrix::fileutil {
namespace {

using namespace std::string_literals;
using namespace std::string_view_literals;
using test::withPlatformSeparators;

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
  FileListBuffer list{};
  FakeDialog dialog;
  // One file chosen in a multiple-selection dialog.
  dialog.selection = withPlatformSeparators("/m/one.obj\0\0"sv);
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 1);
  EXPECT_EQ(fullName(list, 1), withPlatformSeparators("/m/one.obj"));

  dialog.selection = withPlatformSeparators("/m\0a.obj\0b.obj\0c.obj\0\0"sv);
  EXPECT_EQ(getFileList(list, DialogSettings{}, nullptr, false, dialog), 3);
  EXPECT_EQ(fullName(list, 2), withPlatformSeparators("/m/b.obj"));
  EXPECT_EQ(fullName(list, 4), "<none>");
}

TEST(FileDialog, ACancelOrAFailureLeavesAnEmptyList) {
  FileListBuffer list{};
  FakeDialog dialog;
  dialog.selection = "/m\0a.obj\0b.obj\0\0"s;
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
