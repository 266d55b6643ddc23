#include "common/xml_text.h"

#include <gtest/gtest.h>

namespace mevrix::common {
namespace {

std::string escaped(std::string_view text) {
  OutputSink sink;
  putXmlEscaped(sink, text);
  return std::string(sink.contents());
}

TEST(XmlText, EscapesTheFiveMarkupCharacters) {
  EXPECT_EQ(escaped("a&b<c>d\"e'f"), "a&amp;b&lt;c&gt;d&quot;e&apos;f");
  EXPECT_EQ(escaped("</author><injected/>"), "&lt;/author&gt;&lt;injected/&gt;");
  EXPECT_EQ(escaped("&&"), "&amp;&amp;");
}

TEST(XmlText, PassesOrdinaryTextUnchanged) {
  EXPECT_EQ(escaped(""), "");
  EXPECT_EQ(escaped("2026-12-07T00:00:00Z"), "2026-12-07T00:00:00Z");
  EXPECT_EQ(escaped(" 0.5 1.25\t\xc3\xa9 "), " 0.5 1.25\t\xc3\xa9 ");
}

TEST(XmlText, TellsWhetherATextNeedsEscaping) {
  EXPECT_FALSE(needsXmlEscaping(""));
  EXPECT_FALSE(needsXmlEscaping(" 0.5 1.25\t\xc3\xa9 "));
  for (const char special : {'&', '<', '>', '"', '\''}) {
    std::string text(100000, 'x');
    EXPECT_TRUE(needsXmlEscaping(text + special)) << special;  // far behind the start
    text[65535] = special;
    EXPECT_TRUE(needsXmlEscaping(text)) << special;
    EXPECT_FALSE(needsXmlEscaping(std::string_view(text).substr(65536))) << special;
  }
}

}  // namespace
}  // namespace mevrix::common
