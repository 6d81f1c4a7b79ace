#include "engine/common/regex_search.h"

#include <gtest/gtest.h>

#include <clocale>
#include <vector>

#include "engine/common/globals.h"

TEST(RegexSearch, JoinsTheTakenMatchesAndKeepsAllOfThemInTheGlobalList) {
  const std::string text = "a1 b22 c333 d4444";
  const std::string pattern = "[a-z][0-9]+";
  struct Case {
    std::string separator;
    int first;
    int count;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"\r\n", 0, 0, "a1\r\nb22\r\nc333\r\nd4444"},
      {"", 0, 0, "a1\r\nb22\r\nc333\r\nd4444"},  // an empty separator is "\r\n"
      {",", 2, 0, "b22,c333,d4444"},
      {",", 2, 2, "b22,c333"},
      {",", 4, 9, "d4444"},
      {",", 5, 1, "a1"},   // past the last match: from the first
      {",", -3, 0, "a1,b22,c333,d4444"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(regex_find_all_joined(text, pattern, true, c.separator, c.first, c.count), c.expected)
        << c.separator << " " << c.first << " " << c.count;
    EXPECT_EQ(regex_matches.get(), (std::vector<std::string>{"a1", "b22", "c333", "d4444"}));
  }
}

TEST(RegexSearch, CaseAndFailures) {
  EXPECT_EQ(regex_find_all_joined("HTTP://X http://y", "http://[a-z]", true), "http://y");
  EXPECT_EQ(regex_find_all_joined("HTTP://X http://y", "http://[a-z]", false), "HTTP://X\r\nhttp://y");

  // No match and a pattern that does not compile give nothing and empty the list.
  regex_find_all_joined("abc", "b", true);
  EXPECT_EQ(regex_matches.size(), 1u);
  EXPECT_EQ(regex_find_all_joined("abc", "x", true), "");
  EXPECT_EQ(regex_matches.size(), 0u);
  regex_find_all_joined("abc", "b", true);
  EXPECT_EQ(regex_find_all_joined("abc", "(", true), "");
  EXPECT_EQ(regex_matches.size(), 0u);
}

TEST(RegexSearch, BlanksAreAsciiWhateverTheProcessLocale) {
  // UTF-8 text, and a process locale that Qt may have set: "\s" is an ASCII blank only,
  // so the bytes of Chinese text never split a match and never count as blanks.
  const char* old = std::setlocale(LC_ALL, "C.UTF-8");
  const std::string old_locale = old ? old : "C";
  EXPECT_EQ(regex_find_all_joined("见 http://a/视频.m3u8\t下一行", "[a-z]+://[^\\s]*", false),
            "http://a/视频.m3u8");
  std::setlocale(LC_ALL, old_locale.c_str());
}
