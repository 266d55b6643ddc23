// The exports through the C boundary, with the module state they change.

#include "mevrix/exports.h"

#include <gtest/gtest.h>

#include <limits>
#include <new>

#include "boundary/export_guard.h"
#include "boundary/module_state.h"

namespace mevrix::boundary {
namespace {

TEST(Exports, VersionIsAlways409WhateverItIsPassed) {
  char buffer[8] = "abc";
  EXPECT_EQ(Version(nullptr, 0.0, nullptr, 0), 4.09f);
  EXPECT_EQ(Version("text", std::numeric_limits<double>::quiet_NaN(), buffer, -5), 4.09f);
  EXPECT_EQ(Version("", -1e300, buffer, sizeof buffer), 4.09f);
  EXPECT_STREQ(buffer, "abc");
}

TEST(Exports, SetDateAndSetTxrNameReplaceTheirTextOnly) {
  auto& metadata = moduleState().exportMetadata;
  metadata.baseName = "kept";
  EXPECT_EQ(setDate("2026-12-07", 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(setTxrName("skin", 5.0, nullptr, 0), 0.0f);
  EXPECT_EQ(metadata.date, "2026-12-07");
  EXPECT_EQ(metadata.textureName, "skin");
  EXPECT_EQ(setDate("later", 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(metadata.date, "later");
  EXPECT_EQ(metadata.textureName, "skin");
  EXPECT_EQ(metadata.baseName, "kept");
  // A null text sets the empty string.
  EXPECT_EQ(setDate(nullptr, 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(setTxrName(nullptr, 0.0, nullptr, 0), 0.0f);
  EXPECT_EQ(metadata.date, "");
  EXPECT_EQ(metadata.textureName, "");
}

TEST(ExportGuard, NothingThrownCrossesTheBoundary) {
  EXPECT_EQ(guarded(-7.0f, [] { return 12; }), 12.0f);
  EXPECT_EQ(guarded(-7.0f, []() -> int { throw std::bad_alloc(); }), -7.0f);
  EXPECT_EQ(guarded(-7.0f, []() -> int { throw 3; }), -7.0f);  // not even a std::exception
}

TEST(ModuleState, StartsAsTheLibraryIsLoaded) {
  // A fresh state, as a newly loaded library holds it.
  const ModuleState fresh;
  EXPECT_STREQ(fresh.dialog.title.data(), "Select Files");
  EXPECT_STREQ(fresh.dialog.defaultDirectory.data(), "");
  for (char byte : fresh.fileList) ASSERT_EQ(byte, '\0');
  EXPECT_EQ(fresh.folderCursor, nullptr);
  EXPECT_TRUE(fresh.exportMetadata.date.empty());
  EXPECT_TRUE(fresh.exportMetadata.textureName.empty());
  EXPECT_TRUE(fresh.merge.groupList.empty());
  EXPECT_EQ(fresh.merge.texCoordBase, 0);
  EXPECT_EQ(fresh.merge.faceCount, 0);
}

}  // namespace
}  // namespace mevrix::boundary
