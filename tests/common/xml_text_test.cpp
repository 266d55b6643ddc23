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

}  // namespace
}  // namespace mevrix::common
