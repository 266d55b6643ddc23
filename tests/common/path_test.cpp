#include "common/path.h"

#include <gtest/gtest.h>

namespace mevrix::common {
namespace {

TEST(FileStem, DropsTheFolderAndTheLastExtension) {
  EXPECT_EQ(fileStem("C:/out/head.dae"), "head");
  EXPECT_EQ(fileStem("C:\\out\\my head.dae"), "my head");
  EXPECT_EQ(fileStem("dir\\sub/a.b.dae"), "a.b");
  EXPECT_EQ(fileStem("dir/sub\\name"), "name");
  EXPECT_EQ(fileStem("plain"), "plain");
  EXPECT_EQ(fileStem(".dae"), "");
  EXPECT_EQ(fileStem("dir/"), "");
  EXPECT_EQ(fileStem("dir.d/file"), "file");
  EXPECT_EQ(fileStem(""), "");
}

}  // namespace
}  // namespace mevrix::common
