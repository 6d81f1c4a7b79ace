#include "engine/common/text_encoding.h"

#include <gtest/gtest.h>

#include <climits>
#include <set>

TEST(TextEncoding, Utf16ConversionsAndTerminators) {
  EXPECT_EQ(text_to_utf16("中", false), std::string("\x2D\x4E\0\0", 4));
  EXPECT_EQ(text_to_utf16("中", true), "\x2D\x4E");
  EXPECT_EQ(text_to_utf16("", false), "");
  EXPECT_EQ(text_to_utf16("", true), "");
  EXPECT_EQ(text_to_utf16(std::string("a\0b", 3), true), std::string("a\0", 2));  // up to the zero byte
  EXPECT_EQ(text_to_utf16(std::string("\0b", 2), false), "");

  EXPECT_EQ(utf16_to_text(std::string("a\0b\0\0\0c\0", 8)), "ab");  // stops at the zero unit
  EXPECT_EQ(utf16_to_text(std::string("a\0\x2D\x4E", 4)), "a中");   // no terminator: all units
  EXPECT_EQ(utf16_to_text(std::string("a\0b", 3)), "a");            // odd last byte ignored
  EXPECT_EQ(utf16_to_text(""), "");
  EXPECT_EQ(utf16_to_text(std::string("\x3D\xD8" "a\0", 4)), "\xEF\xBF\xBD" "a");  // lone surrogate
  EXPECT_EQ(utf16_to_text(text_to_utf16("字幕 subtitle 😀", false)), "字幕 subtitle 😀");
}

TEST(TextEncoding, ReverseTextKeepsEveryCharacterWhole) {
  struct Case {
    const char* text;
    const char* reversed;
  };
  const Case cases[] = {
      {"", ""},
      {"a", "a"},
      {"abc", "cba"},
      {"ab中文cd", "dc文中ba"},
      {"欢迎😀来到", "到来😀迎欢"},        // a surrogate pair stays one character
      {"😀👍", "👍😀"},
      {"１２３　", "　３２１"},             // full-width digits and blank
  };
  for (const auto& c : cases) {
    EXPECT_EQ(reverse_text(c.text), c.reversed) << c.text;
    EXPECT_EQ(reverse_text(reverse_text(c.text)), c.text) << c.text;
  }
  // Broken UTF-8 does not crash; the broken byte becomes a replacement character.
  EXPECT_EQ(reverse_text("a\xFF" "b"), "b\xEF\xBF\xBD" "a");
}

TEST(TextEncoding, RandomIntBetweenStaysInRangeAndCoversIt) {
  struct Range {
    int low, high;
  };
  for (const Range r : {Range{10, 20}, Range{5, 5}, Range{1, 2}, Range{0, 100000}, Range{-3, 3}}) {
    std::set<int> seen;
    for (int i = 0; i < 4000; ++i) {
      const int v = random_int_between(r.low, r.high);
      ASSERT_GE(v, r.low);
      ASSERT_LE(v, r.high);
      seen.insert(v);
    }
    if (r.high - r.low <= 20) {
      EXPECT_EQ(seen.size(), static_cast<size_t>(r.high - r.low + 1)) << r.low << ".." << r.high;
    } else {
      EXPECT_GT(*seen.rbegin(), 32767);  // a wide range is covered beyond 15 bits
    }
  }
  for (int i = 0; i < 200; ++i) {
    const int v = random_int_between(20, 10);  // bounds in the other order
    ASSERT_GE(v, 10);
    ASSERT_LE(v, 20);
  }
  EXPECT_EQ(random_int_between(INT_MAX, INT_MAX), INT_MAX);
  const int extreme = random_int_between(INT_MIN, INT_MAX);
  (void)extreme;  // no overflow in the span
}
