// The 24-bit BMP writer: header fields, row padding and row order.

#include "meshtools/bmp_writer.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace mevrix::meshtools {
namespace {

std::uint32_t field32(std::string_view bytes, std::size_t offset) {
  std::uint32_t value = 0;
  for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<std::uint8_t>(bytes[offset + i]);
  return value;
}

std::uint16_t field16(std::string_view bytes, std::size_t offset) {
  return static_cast<std::uint16_t>(static_cast<std::uint8_t>(bytes[offset]) |
                                    static_cast<std::uint8_t>(bytes[offset + 1]) << 8);
}

TEST(BmpWriter, WritesTheHeaderAndPadsOddRows) {
  // 2 x 3 pixels: rows of 6 bytes, padded by 2.
  std::vector<std::uint8_t> pixels(2 * 3 * 3);
  for (std::size_t i = 0; i < pixels.size(); ++i) pixels[i] = static_cast<std::uint8_t>(i + 1);
  common::OutputSink out;
  ASSERT_TRUE(writeBmp24(out, 2, 3, pixels));
  const std::string_view bytes = out.contents();
  ASSERT_EQ(bytes.size(), 54u + 3 * 8);
  EXPECT_EQ(bytes.substr(0, 2), "BM");
  EXPECT_EQ(field32(bytes, 2), 78u);  // file size
  EXPECT_EQ(field32(bytes, 6), 0u);
  EXPECT_EQ(field32(bytes, 10), 54u);
  EXPECT_EQ(field32(bytes, 14), 40u);
  EXPECT_EQ(field32(bytes, 18), 2u);
  EXPECT_EQ(field32(bytes, 22), 3u);
  EXPECT_EQ(field16(bytes, 26), 1u);
  EXPECT_EQ(field16(bytes, 28), 24u);
  EXPECT_EQ(field32(bytes, 30), 0u);
  EXPECT_EQ(field32(bytes, 34), 24u);  // pixel data size
  EXPECT_EQ(bytes.substr(38, 16), std::string(16, '\0'));
  // The rows in the order given, each followed by two zero bytes.
  EXPECT_EQ(bytes.substr(54),
            std::string("\1\2\3\4\5\6\0\0\7\10\11\12\13\14\0\0\15\16\17\20\21\22\0\0", 24));
}

TEST(BmpWriter, PadsNothingWhenRowsAreWholeWords) {
  std::vector<std::uint8_t> pixels(4 * 2 * 3, 0xAB);
  common::OutputSink out;
  ASSERT_TRUE(writeBmp24(out, 4, 2, pixels));
  EXPECT_EQ(out.contents().size(), 54u + 24);
  EXPECT_EQ(field32(out.contents(), 2), 78u);
  EXPECT_EQ(out.contents().substr(54), std::string(24, '\xAB'));

  // An empty picture is a header alone.
  common::OutputSink empty;
  ASSERT_TRUE(writeBmp24(empty, 0, 5, {}));
  EXPECT_EQ(empty.contents().size(), 54u);
  EXPECT_EQ(field32(empty.contents(), 22), 5u);
}

TEST(BmpWriter, RefusesPixelsOfTheWrongSizeAndImagesBeyondTheFormat) {
  std::vector<std::uint8_t> pixels(11);
  common::OutputSink out;
  EXPECT_FALSE(writeBmp24(out, 2, 2, pixels));
  // 3 * 65536 bytes a row times 65536 rows does not fit the 32-bit size fields.
  EXPECT_FALSE(writeBmp24(out, 65536, 65536, pixels));
  EXPECT_FALSE(writeBmp24(out, 0x80000000u, 0, {}));
  EXPECT_TRUE(out.contents().empty());
}

}  // namespace
}  // namespace mevrix::meshtools
