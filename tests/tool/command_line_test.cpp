#include "command_line.h"

#include <gtest/gtest.h>

#include <cmath>

namespace mevrix::tool {
namespace {

std::optional<CommandLine> parse(std::vector<std::string> args, std::string* errorOut = nullptr) {
  std::string error;
  auto line = parseCommandLine(args, error);
  if (errorOut) *errorOut = error;
  return line;
}

TEST(CommandLine, SplitsCallsAtPlusSigns) {
  auto line = parse({"--lib", "x.so", "setDate", "2026", "+", "writeCollada", "in.obj", "2.9",
                     "out.dae", "+", "Version"});
  ASSERT_TRUE(line);
  EXPECT_EQ(line->libraryPath, "x.so");
  ASSERT_EQ(line->calls.size(), 3u);
  EXPECT_EQ(line->calls[0].exportName, "setDate");
  EXPECT_EQ(line->calls[0].textKind, PointerKind::text);
  EXPECT_EQ(line->calls[0].text, "2026");
  EXPECT_EQ(line->calls[0].bufferKind, PointerKind::null);
  EXPECT_EQ(line->calls[1].value, 2.9);
  EXPECT_EQ(line->calls[1].bufferKind, PointerKind::text);
  EXPECT_EQ(line->calls[1].bufferText, "out.dae");
  EXPECT_EQ(line->calls[2].textKind, PointerKind::null);
  EXPECT_EQ(line->calls[2].value, 0.0);
}

TEST(CommandLine, ReadsNullsOutputBuffersAndLengths) {
  auto line = parse({"GetFileInfo", "@null", "nan", "@out:16", "-3", "+", "GetFile", "@@at",
                     "-inf", "@out"});
  ASSERT_TRUE(line);
  const Call& first = line->calls[0];
  EXPECT_EQ(first.textKind, PointerKind::null);
  EXPECT_TRUE(std::isnan(first.value));
  EXPECT_EQ(first.bufferKind, PointerKind::output);
  EXPECT_EQ(first.outputSize, 16u);
  EXPECT_EQ(first.bufferLength, -3);
  const Call& second = line->calls[1];
  EXPECT_EQ(second.text, "@at");
  EXPECT_EQ(second.value, -INFINITY);
  EXPECT_EQ(second.outputSize, 4096u);
  EXPECT_FALSE(second.bufferLength);
}

TEST(CommandLine, RejectsMistakes) {
  std::string error;
  EXPECT_FALSE(parse({}, &error));
  EXPECT_FALSE(parse({"Version", "+"}, &error));
  EXPECT_FALSE(parse({"+", "Version"}, &error));
  EXPECT_FALSE(parse({"Version", "+", "+", "Version"}, &error));
  EXPECT_FALSE(parse({"ScaleUVs", "a", "half"}, &error));
  EXPECT_NE(error.find("half"), std::string::npos);
  EXPECT_FALSE(parse({"GetFile", "@null", "0", "@out:-1"}, &error));
  EXPECT_FALSE(parse({"GetFile", "@nul"}, &error));
  EXPECT_FALSE(parse({"GetFile", "a", "1", "b", "1", "extra"}, &error));
  EXPECT_FALSE(parse({"--lib"}, &error));
  EXPECT_FALSE(parse({"--frobnicate", "Version"}, &error));
  EXPECT_TRUE(parse({"--list"}));
  EXPECT_TRUE(parse({"--help"}));
}

}  // namespace
}  // namespace mevrix::tool
