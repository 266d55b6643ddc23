// The Windows file-open dialog: the GetOpenFileNameA record that a GetFileList call builds,
// checked member by member without showing a window, and the system dialog's refusal of a
// record whose size is not this build's.

#include "platform/dialog_backend_windows.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <string_view>

#include "fileutil/dialog_settings.h"
#include "fileutil/file_dialog.h"
#include "fileutil/file_list.h"

namespace mevrix::platform {
namespace {

using namespace std::string_view_literals;

// Builds the record for each request it is shown, keeps it with copies of the texts it points
// to (they live only as long as the call), and reports a cancel.
class RecordingDialog : public DialogBackend {
 public:
  bool openFile(const OpenFileRequest& request) override {
    record = openFileNameRecord(request);
    const char* end = record.lpstrFilter;
    while (*end) end += std::strlen(end) + 1;
    filter.assign(record.lpstrFilter, static_cast<std::size_t>(end - record.lpstrFilter) + 1);
    initialDirectory = record.lpstrInitialDir;
    title = record.lpstrTitle;
    return false;
  }

  OPENFILENAMEA record{};
  std::string filter;  // up to and including the empty string that ends it
  std::string initialDirectory, title;
};

TEST(WindowsDialogRecord, HasTheSizeOfTheFullRecordOfThisBuild) {
  // 88 bytes is the record of a 32-bit build; a 64-bit build passing 88 would have every dialog
  // refused.
  const OPENFILENAMEA record = openFileNameRecord(OpenFileRequest{});
  EXPECT_EQ(record.lStructSize, sizeof(OPENFILENAMEA));
  EXPECT_EQ(record.lStructSize, sizeof(void*) == 8 ? 152u : 88u);
}

TEST(WindowsDialogRecord, AsksForSeveralFilesWithTheFilterFolderAndTitle) {
  fileutil::DialogSettings settings;
  fileutil::setDialogTitle(settings, "Pick meshes");
  fileutil::setDefaultDirectory(settings, "C:\\meshes");
  fileutil::FileListBuffer list{};
  RecordingDialog dialog;
  ASSERT_EQ(fileutil::getFileList(list, settings, "Meshes|*.obj;*.dae|All|*.*", false, dialog), 0);

  const OPENFILENAMEA& record = dialog.record;
  EXPECT_EQ(record.hwndOwner, nullptr);
  EXPECT_EQ(dialog.filter, "Meshes\0*.obj;*.dae\0All\0*.*\0\0"sv);
  EXPECT_EQ(record.nFilterIndex, 1u);
  EXPECT_EQ(record.lpstrFile, list.data());
  EXPECT_EQ(record.nMaxFile, 4096u);
  EXPECT_EQ(dialog.initialDirectory, "C:\\meshes");
  EXPECT_EQ(dialog.title, "Pick meshes");
  EXPECT_EQ(record.Flags, 0x85A04u);
  EXPECT_EQ(record.Flags,
            static_cast<DWORD>(OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY |
                               OFN_SHAREAWARE | OFN_ALLOWMULTISELECT | OFN_EXPLORER));
}

TEST(WindowsDialogRecord, AsksForOneFileOfAnyNameByDefault) {
  fileutil::FileListBuffer list{};
  RecordingDialog dialog;
  ASSERT_EQ(fileutil::getFileList(list, fileutil::DialogSettings{}, nullptr, true, dialog), 0);
  EXPECT_EQ(dialog.filter, "*.*\0\0"sv);
  EXPECT_EQ(dialog.record.nFilterIndex, 1u);
  EXPECT_EQ(dialog.record.lpstrFile, list.data());
  EXPECT_EQ(dialog.record.nMaxFile, 4096u);
  // No folder set: an empty one, which lets the system choose.
  EXPECT_EQ(dialog.initialDirectory, "");
  EXPECT_EQ(dialog.title, "Select Files");
  EXPECT_EQ(dialog.record.Flags, 0x5804u);
}

TEST(WindowsDialogRecord, LeavesEveryOtherMemberZero) {
  char file[16] = {};
  const OpenFileRequest request{nullptr, "*.*\0", 1, file, sizeof file, "C:\\", "Title", 0x5804};
  const OPENFILENAMEA record = openFileNameRecord(request);
  EXPECT_EQ(record.hInstance, nullptr);
  EXPECT_EQ(record.lpstrCustomFilter, nullptr);
  EXPECT_EQ(record.nMaxCustFilter, 0u);
  EXPECT_EQ(record.lpstrFileTitle, nullptr);
  EXPECT_EQ(record.nMaxFileTitle, 0u);
  EXPECT_EQ(record.nFileOffset, 0u);
  EXPECT_EQ(record.nFileExtension, 0u);
  EXPECT_EQ(record.lpstrDefExt, nullptr);
  EXPECT_EQ(record.lCustData, 0);
  EXPECT_EQ(record.lpfnHook, nullptr);
  EXPECT_EQ(record.lpTemplateName, nullptr);
  EXPECT_EQ(record.pvReserved, nullptr);
  EXPECT_EQ(record.dwReserved, 0u);
  EXPECT_EQ(record.FlagsEx, 0u);
  // And what the request sets, unchanged.
  EXPECT_EQ(record.lpstrFilter, request.filter);
  EXPECT_EQ(record.lpstrFile, file);
  EXPECT_EQ(record.nMaxFile, sizeof file);
  EXPECT_EQ(record.lpstrInitialDir, request.initialDirectory);
  EXPECT_EQ(record.lpstrTitle, request.title);
}

TEST(WindowsDialogRecord, TheSystemRefusesTheOtherBuildsRecordSize) {
  // The refusal comes before any window is made: this shows no dialog.
  char file[260] = {};
  const OpenFileRequest request{nullptr, "*.*\0", 1, file, sizeof file, "", "Title", 0x5804};
  OPENFILENAMEA record = openFileNameRecord(request);
  record.lStructSize = sizeof(void*) == 8 ? 88 : 152;
  EXPECT_FALSE(GetOpenFileNameA(&record));
  EXPECT_EQ(CommDlgExtendedError(), static_cast<DWORD>(CDERR_STRUCTSIZE));
}

}  // namespace
}  // namespace mevrix::platform
