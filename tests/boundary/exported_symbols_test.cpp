// The plug-in must expose exactly its exports, under their plain names, and nothing else.

#include <dlfcn.h>
#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

#include "support/process.h"

namespace {

const std::set<std::string> kExpectedExports = {
    "Version",     "SetDefaultDir",  "SetDialogTitle",   "GetFileList", "GetDirFileList",
    "GetFileInfo", "OpenFolder",     "GetFile",          "CloseFolder", "FileDelete",
    "FileRename",  "FileCopyTo",     "EmptyFolder",      "ScaleUVs",    "setDate",
    "setTxrName",  "writeCollada",   "writeColladaTris", "getGroups",   "OBJtoSculpty",
    "AppendOBJ",   "GroupListClear",
};

std::set<std::string> definedDynamicSymbols(const std::string& library) {
  const auto listing = mevrix::test::runProcess("/usr/bin/nm", {"-D", "--defined-only", library});
  EXPECT_EQ(listing.exitCode, 0) << listing.err;
  std::set<std::string> names;
  std::istringstream lines(listing.out);
  std::string line;
  while (std::getline(lines, line)) {
    // "<address> <type> <name>"
    const std::size_t lastSpace = line.rfind(' ');
    if (lastSpace != std::string::npos) names.insert(line.substr(lastSpace + 1));
  }
  return names;
}

TEST(ExportedSymbols, TheDynamicSymbolTableHoldsExactlyTheExports) {
  EXPECT_EQ(definedDynamicSymbols(MEVRIX_LIBRARY_PATH), kExpectedExports);
}

TEST(ExportedSymbols, EveryExportResolvesByName) {
  void* library = dlopen(MEVRIX_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
  ASSERT_NE(library, nullptr) << dlerror();
  for (const std::string& name : kExpectedExports) {
    EXPECT_NE(dlsym(library, name.c_str()), nullptr) << name;
  }
  EXPECT_EQ(dlsym(library, "moduleState"), nullptr);
  dlclose(library);
}

}  // namespace
