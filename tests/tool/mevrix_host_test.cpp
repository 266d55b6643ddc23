// The `mevrix` host program driving the real plug-in.

#include <gtest/gtest.h>

#include "support/line_ends.h"
#include "support/process.h"

namespace {

using mevrix::test::runProcess;
using mevrix::test::withPlatformLineEnds;

TEST(MevrixHost, ListsTheExportsThePlugInHas) {
  const auto result = runProcess(MEVRIX_HOST_PATH, {"--list"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out,
            withPlatformLineEnds(
                "Version\nSetDefaultDir\nSetDialogTitle\nGetFileList\nGetDirFileList\n"
                "GetFileInfo\nOpenFolder\nGetFile\nCloseFolder\nFileDelete\nFileRename\n"
                "FileCopyTo\nEmptyFolder\nScaleUVs\nsetDate\nsetTxrName\nwriteCollada\n"
                "writeColladaTris\ngetGroups\nOBJtoSculpty\nAppendOBJ\nGroupListClear\n"));
}

TEST(MevrixHost, CallsExportsInOrderAndPrintsResults) {
  const auto result = runProcess(MEVRIX_HOST_PATH, {"Version", "+", "setDate", "2026-12-07", "+",
                                                    "Version", "@null", "nan", "@out:8", "3"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, withPlatformLineEnds("Version: 4.09\nsetDate: 0\nVersion: 4.09 \"\"\n"));
}

TEST(MevrixHost, LoadsTheLibraryNamedWithLib) {
  const auto result = runProcess(MEVRIX_HOST_PATH, {"--lib", MEVRIX_LIBRARY_PATH, "Version"});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, withPlatformLineEnds("Version: 4.09\n"));
}

TEST(MevrixHost, FailsClearlyForUnknownExportsAndMissingLibraries) {
  const auto unknown = runProcess(MEVRIX_HOST_PATH, {"setDate", "x", "+", "NoSuchExport"});
  EXPECT_EQ(unknown.exitCode, 2);
  EXPECT_EQ(unknown.out, "");  // nothing is called when a name is wrong
  EXPECT_NE(unknown.err.find("NoSuchExport"), std::string::npos);

  const auto missing = runProcess(MEVRIX_HOST_PATH, {"--lib", "/no/such/libmevrix.so", "Version"});
  EXPECT_EQ(missing.exitCode, 2);
  EXPECT_NE(missing.err.find("/no/such/libmevrix.so"), std::string::npos);

  const auto usage = runProcess(MEVRIX_HOST_PATH, {"Version", "@null", "notanumber"});
  EXPECT_EQ(usage.exitCode, 1);
  EXPECT_NE(usage.err.find("usage:"), std::string::npos);
}

TEST(MevrixHost, ReceivesItsArgumentsUnchanged) {
  // Spaces, quotes and backslashes (doubled, and last) survive the way to the program; on
  // Windows they pass through one command line.
  const std::string name = "odd \"name\"\twith\\ back\\\\slashes\\";
  const auto result = runProcess(MEVRIX_HOST_PATH, {name});
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_NE(result.err.find("'" + name + "'"), std::string::npos) << result.err;
}

TEST(MevrixHost, PrintsItsVersion) {
  const auto result = runProcess(MEVRIX_HOST_PATH, {"--version"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_EQ(result.out, withPlatformLineEnds("mevrix 4.09\n"));
}

TEST(MevrixHost, PrintsHelp) {
  const auto result = runProcess(MEVRIX_HOST_PATH, {"--help"});
  EXPECT_EQ(result.exitCode, 0);
  EXPECT_NE(result.out.find("CALL [+ CALL]"), std::string::npos);
}

}  // namespace
