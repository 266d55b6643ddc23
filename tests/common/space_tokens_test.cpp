#include "common/space_tokens.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace mevrix::common {
namespace {

std::vector<std::string> words(std::string_view text) {
  std::vector<std::string> found;
  std::size_t pos = 0;
  std::string_view word;
  while (nextSpaceToken(text, pos, word)) found.emplace_back(word);
  EXPECT_EQ(pos, text.size());
  return found;
}

using Words = std::vector<std::string>;

TEST(SpaceTokens, RunsOfSpacesSeparateAndOnlySpacesCount) {
  EXPECT_EQ(words(""), Words{});
  EXPECT_EQ(words("   "), Words{});
  EXPECT_EQ(words("1/1"), Words{"1/1"});
  EXPECT_EQ(words("  1/1   2/2 "), (Words{"1/1", "2/2"}));
  EXPECT_EQ(words("my  head"), (Words{"my", "head"}));
  EXPECT_EQ(words("a\tb c\r"), (Words{"a\tb", "c\r"}));
}

}  // namespace
}  // namespace mevrix::common
