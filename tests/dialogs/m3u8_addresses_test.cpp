#include "dialogs/m3u8_addresses.h"

#include <gtest/gtest.h>

#include <vector>

TEST(M3u8Addresses, PicksTheNewM3u8AddressesOutOfCopiedText) {
  struct Case {
    const char* what;
    std::string copied;
    std::string box;
    std::string expected;
  };
  const std::vector<Case> cases = {
      {"one m3u8 and one mp4 address in page text",
       "课程 第一节 https://cdn.example.com/v/1.m3u8 另见 https://cdn.example.com/v/2.mp4 结束", "",
       "https://cdn.example.com/v/1.m3u8\r\n"},
      {"several addresses, one per line and several on a line",
       "http://a/1.m3u8\r\nhttp://a/2.m3u8 http://a/3.m3u8\nhttp://a/4.m3u8", "",
       "http://a/1.m3u8\r\nhttp://a/2.m3u8\r\nhttp://a/3.m3u8\r\nhttp://a/4.m3u8\r\n"},
      {"letter case: scheme and extension in capitals", "HTTPS://A/X.M3U8 Http://a/y.M3u8", "",
       "HTTPS://A/X.M3U8\r\nHttp://a/y.M3u8\r\n"},
      {"query strings stay", "see https://a/live.m3u8?token=ab%20c&t=9 now", "",
       "https://a/live.m3u8?token=ab%20c&t=9\r\n"},
      {"cut before a double quote of HTML attribute text",
       "<source src=\"https://a/b.m3u8\" type=\"application/x-mpegURL\">", "", "https://a/b.m3u8\r\n"},
      {"cut before a semicolon when there is no quote", "url=https://a/b.m3u8;charset=utf-8", "",
       "https://a/b.m3u8\r\n"},
      {"two addresses joined by a comma become two", "https://a/1.m3u8,https://a/2.m3u8", "",
       "https://a/1.m3u8\r\nhttps://a/2.m3u8\r\n"},
      {"tabs are removed before the search", "http://a/\t1.m3u8", "", "http://a/1.m3u8\r\n"},
      {"the same address twice in one copy is taken once", "http://a/1.m3u8 x http://a/1.m3u8", "",
       "http://a/1.m3u8\r\n"},
      {"an address the box holds already is left out", "http://a/1.m3u8 http://a/2.m3u8",
       "http://a/1.m3u8\r\n", "http://a/2.m3u8\r\n"},
      {"the box's last line without a line end counts too", "http://a/1.m3u8", "http://a/0.m3u8\r\nhttp://a/1.m3u8",
       ""},
      {"compared with case against the box", "http://a/A.m3u8", "http://a/a.m3u8\r\n", "http://a/A.m3u8\r\n"},
      {"an address that is only part of a longer one is still new", "http://a/1.m3u8",
       "http://a/1.m3u8?t=2\r\n", "http://a/1.m3u8\r\n"},
      {"junk: no scheme, no m3u8, empty", "www.a.com/1.m3u8 ftp://a/readme.txt ://x.m3u8 1.m3u8", "", ""},
      {"nothing copied", "", "", ""},
      {"an address glued to Chinese text starts at its scheme", "地址http://a/1.m3u8 完", "",
       "http://a/1.m3u8\r\n"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(collect_m3u8_addresses(c.copied, c.box), c.expected) << c.what;
  }
}

TEST(M3u8Addresses, FillSourcesWithTheDuplicateFilter) {
  const std::vector<std::string> listed = {"/v/a.mp4", "", "http://s/1.m3u8", "/V/A.MP4"};
  const std::string box = "http://s/2.m3u8\r\n\r\nHTTP://S/1.M3U8\r\nhttp://s/2.m3u8\r\nhttp://s/2.m3u8?q=1\r\n"
                          "http://s/2\r\n";
  EXPECT_EQ(m3u8_fill_sources(listed, box, true),
            (std::vector<std::string>{"/v/a.mp4", "http://s/1.m3u8", "http://s/2.m3u8", "http://s/2.m3u8?q=1",
                                      "http://s/2"}));
  EXPECT_TRUE(m3u8_fill_sources({}, "\r\n\r\n", true).empty());
}

TEST(M3u8Addresses, FillSourcesWithoutTheFilterAreTheBoxLinesAsTheyAre) {
  const std::vector<std::string> listed = {"/v/a.mp4"};
  EXPECT_EQ(m3u8_fill_sources(listed, "http://s/1.m3u8\r\n\r\nhttp://s/1.m3u8", false),
            (std::vector<std::string>{"http://s/1.m3u8", "", "http://s/1.m3u8"}));
  // A box that ends with a line end gives one more, empty row.
  EXPECT_EQ(m3u8_fill_sources(listed, "http://s/1.m3u8\r\n", false),
            (std::vector<std::string>{"http://s/1.m3u8", ""}));
}
