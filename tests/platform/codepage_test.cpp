#include "platform/codepage.h"

#include <gtest/gtest.h>

namespace {
// UTF-16LE bytes of the given code units.
std::string units(std::initializer_list<unsigned> list) {
  std::string bytes;
  for (const unsigned u : list) {
    bytes.push_back(static_cast<char>(u & 0xFF));
    bytes.push_back(static_cast<char>(u >> 8));
  }
  return bytes;
}
const std::string replacement = "\xEF\xBF\xBD";
}  // namespace

TEST(Codepage, ValidTextRoundTrips) {
  struct Case {
    std::string utf8;
    std::string utf16le;
  };
  const Case cases[] = {
      {"", ""},
      {"A", units({0x41})},
      {"中", units({0x4E2D})},
      {"a中b", units({0x61, 0x4E2D, 0x62})},
      {"\xF0\x9F\x98\x80", units({0xD83D, 0xDE00})},  // U+1F600, a surrogate pair
      {"\xEF\xBB\xBFx", units({0xFEFF, 0x78})},        // a leading BOM is kept as a character
      {std::string("a\0b", 3), units({0x61, 0, 0x62})},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(utf8_to_utf16le(c.utf8), c.utf16le) << c.utf8;
    EXPECT_EQ(utf16le_to_utf8(c.utf16le), c.utf8) << c.utf8;
  }
}

TEST(Codepage, InvalidInputBecomesReplacementCharacters) {
  const std::string fffd16 = units({0xFFFD});
  // UTF-8 side: stray continuation byte, truncated sequence at the end and in the
  // middle, overlong form, encoded surrogate.
  EXPECT_EQ(utf8_to_utf16le("a\x80" "b"), units({0x61, 0xFFFD, 0x62}));
  EXPECT_EQ(utf8_to_utf16le("a\xE4\xB8"), units({0x61}) + fffd16);
  EXPECT_EQ(utf8_to_utf16le("\xE4\xB8z"), fffd16 + fffd16 + units({0x7A}));
  EXPECT_EQ(utf8_to_utf16le("\xC0\xAF"), fffd16 + fffd16);
  EXPECT_EQ(utf8_to_utf16le("\xED\xA0\x80"), fffd16 + fffd16 + fffd16);
  // UTF-16 side: unpaired high and low surrogates, a high surrogate at the end, an
  // odd last byte.
  EXPECT_EQ(utf16le_to_utf8(units({0xD83D, 0x41})), replacement + "A");
  EXPECT_EQ(utf16le_to_utf8(units({0x41, 0xDE00, 0x42})), "A" + replacement + "B");
  EXPECT_EQ(utf16le_to_utf8(units({0x41, 0xD83D})), "A" + replacement);
  EXPECT_EQ(utf16le_to_utf8(units({0x41}) + "\x42"), "A" + replacement);
}

TEST(Codepage, LongTextsCrossTheInternalBufferIntact) {
  std::string text;
  for (int i = 0; i < 5000; ++i) text += "中a\xF0\x9F\x98\x80";
  text += "\xFF";  // one invalid byte at the very end
  const std::string utf16 = utf8_to_utf16le(text);
  EXPECT_EQ(utf16.size(), 5000u * 8 + 2);
  EXPECT_EQ(utf16le_to_utf8(utf16), text.substr(0, text.size() - 1) + replacement);
}

TEST(Codepage, BigEndianUnitsDecode) {
  // The same units as the little-endian table above, high byte first.
  auto big_endian = [](std::initializer_list<unsigned> list) {
    std::string bytes;
    for (const unsigned u : list) {
      bytes.push_back(static_cast<char>(u >> 8));
      bytes.push_back(static_cast<char>(u & 0xFF));
    }
    return bytes;
  };
  EXPECT_EQ(utf16be_to_utf8(""), "");
  EXPECT_EQ(utf16be_to_utf8(big_endian({0x6587, 0x6CC9, 0x9A7F, 0x41})), "文泉驿A");
  EXPECT_EQ(utf16be_to_utf8(big_endian({0xD83D, 0xDE00})), "\xF0\x9F\x98\x80");
  EXPECT_EQ(utf16be_to_utf8(big_endian({0x41, 0xDE00})), "A" + replacement);
  EXPECT_EQ(utf16be_to_utf8(big_endian({0x41}) + std::string(1, '\0')), "A" + replacement);
}

TEST(Codepage, OnlyStrictUtf8CountsAsUtf8) {
  const struct {
    std::string bytes;
    bool valid;
  } cases[] = {
      {"", true},
      {"ascii", true},
      {"中文\xF0\x9F\x98\x80", true},
      {"\xD6\xD0\xCE\xC4", false},      // "中文" in code page 936
      {"\xC0\x80", false},              // overlong
      {"\xE0\x80\xAF", false},          // overlong
      {"\xED\xA0\x80", false},          // a surrogate
      {"\xF4\x90\x80\x80", false},      // above U+10FFFF
      {"\xE4\xB8", false},              // cut short
      {"\x80", false},                  // a stray continuation byte
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_utf8(c.bytes), c.valid) << c.bytes;
}

TEST(Codepage, TheOldCodePageRoundTripsAndKeepsWhatItCannotRead) {
  const struct {
    std::string gbk;
    std::string utf8;
  } cases[] = {
      {"\xD6\xD0\xCE\xC4 abc", "中文 abc"},
      {"\x80", "€"},                                       // the code page's one single-byte letter
      {"\x94\x39\xFC\x36", "\xF0\x9F\x98\x80"},            // four bytes of the wider form
      {"a\xFF" "b\xD6", "a\xFF" "b\xD6"},                  // read as nothing: kept, also at the end
  };
  for (const auto& c : cases) {
    EXPECT_EQ(gbk_to_utf8(c.gbk), c.utf8);
    EXPECT_EQ(utf8_to_gbk(c.utf8), c.gbk);
  }
  EXPECT_EQ(decode_file_text("\xD6\xD0").encoding, FileTextEncoding::gbk);
  EXPECT_EQ(decode_file_text("中").encoding, FileTextEncoding::utf8);
  EXPECT_EQ(encode_file_text("中", FileTextEncoding::utf8), "中");
}
