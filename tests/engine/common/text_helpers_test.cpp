#include "engine/common/text_helpers.h"

#include <gtest/gtest.h>

#include <climits>

namespace {

// The tail bytes of "中" (E4 B8 AD): a marker that exists in a text holding "中" only
// inside that character.
const std::string inside_zhong = "\xB8\xAD";

}  // namespace

TEST(TextHelpers, TextBetweenMarkers) {
  struct Case {
    std::string text, left, right;
    int start;
    bool ignore_case;
    std::string expected;
  };
  const Case cases[] = {
      {"abc\"def\"ghi", "#引号", "#引号", 0, false, "def"},
      {"src=#引号x#引号", "=#引号", "#引号", 0, false, ""},  // the placeholder in the text is no quote
      {"Stream #0:0: Video: h264, yuv420p, 320x240, 25 fps", "Video: ", ",", 0, false, "h264"},
      {"a[b]c", "[", "]", 0, false, "b"},
      {"a[]c", "[", "]", 0, false, ""},
      {"a[bc", "[", "]", 0, false, ""},   // right marker missing after the left one
      {"a]b[c", "[", "]", 0, false, ""},  // right marker only in front of the left one
      {"abc", "[", "]", 0, false, ""},
      {"x=1;x=2;", "x=", ";", 0, false, "1"},
      {"x=1;x=2;", "x=", ";", 1, false, "1"},
      {"x=1;x=2;", "x=", ";", -7, false, "1"},
      {"x=1;x=2;", "x=", ";", 2, false, "2"},
      {"x=1;x=2;", "x=", ";", 5, false, "2"},
      {"x=1;x=2;", "x=", ";", 6, false, ""},
      {"x=1;x=2;", "x=", ";", INT_MAX, false, ""},
      {"DURATION: 5.0", "duration: ", ".", 0, false, ""},
      {"DURATION: 5.0", "duration: ", ".", 0, true, "5"},
      {"a<B>c", "<b", "<", 0, true, ""},
      {"a", "", "", 0, false, ""},                  // empty markers are never found
      {"", "[", "]", 0, false, ""},
      {"视频[片段]文件", "[", "]", 0, false, "片段"},
      {"中文：时长：一分", "：", "：", 0, false, "时长"},
      {"中中[x]", "中", "[", 2, false, ""},          // byte 2 lies inside the first 中: the second one is found
      {"中中[x]中", "中", "]", 2, false, "[x"},
      {"中ab", inside_zhong, "b", 0, false, ""},   // no match inside a character
      {"ÉTÉ|", "été", "|", 0, true, ""},            // case folding is ASCII only
      {"ÉtÉ|x", "ÉTÉ", "x", 0, true, "|"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_between_markers(c.text, c.left, c.right, c.start, c.ignore_case), c.expected)
        << c.text << " | " << c.left << " | " << c.right << " | " << c.start;
  }
  EXPECT_EQ(text_between_markers("a(b)c", "(", ")"), "b");  // the defaults
}

TEST(TextHelpers, TextBetweenMarkersEx) {
  struct Case {
    std::string text, left, right;
    bool from_end;
    int left_shift, right_shift;
    std::string expected;
  };
  const std::string duration_line = "  Duration: 00:01:23.45, start: 0.000000, bitrate: 1205 kb/s";
  const std::string no_duration = "  Duration: N/A, start: 0.000000, bitrate: N/A";
  const Case cases[] = {
      {duration_line, "Duration: ", ".", false, 0, 0, "00:01:23"},
      {no_duration, "Duration: ", ".", false, 0, 0, "N/A, start: 0"},
      {"no duration here", "Duration: ", ".", false, 0, 0, ""},
      {"Duration: 00:00:05", "Duration: ", ".", false, 0, 0, ""},
      {"duration: 1.5", "Duration: ", ".", false, 0, 0, ""},  // compared with case
      {"abc.def", "", ".", false, 0, 0, "abc"},
      {"key=value", "=", "", false, 0, 0, "value"},
      {"key=value", "", "", false, 0, 0, "key=value"},
      {"x<a<b>c>", "<", ">", false, 0, 0, "a<b"},
      {"x<a<b>c>", "<", ">", true, 0, 0, "b"},
      {"a/b/c", "/", "", true, 0, 0, "c"},
      {"a.b.c", "", ".", true, 0, 0, "a"},
      {"b>a<", "<", ">", true, 0, 0, ""},    // no left marker before the first right one
      {"<>", "<", ">", true, 0, 0, ""},
      {"<b>", "<", "", true, 0, 0, "b>"},
      {"[abc]", "[", "]", false, 1, -1, "b"},
      {"[abc]", "[", "]", false, -1, 1, "[abc]"},
      {"[abc]", "[", "]", false, -10, 0, "[abc"},   // shifted in front of the text: cut off
      {"[abc]", "[", "]", false, 0, 10, "abc]"},    // shifted past the end: cut off
      {"[abc]", "[", "]", false, 3, -3, ""},         // inverted range
      {"[abc]", "[", "]", false, 100, 200, ""},
      {"[abc]", "[", "]", false, INT_MIN, INT_MAX, "[abc]"},
      {"[abc]", "[", "]", false, INT_MAX, INT_MIN, ""},
      {"片[段]", "[", "]", false, -4, 0, "片[段"},
      {"中x", inside_zhong, "", false, 0, 0, ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_between_markers_ex(c.text, c.left, c.right, c.from_end, c.left_shift, c.right_shift), c.expected)
        << c.text << " | " << c.left << " | " << c.right << " | " << c.from_end;
  }
  EXPECT_EQ(text_between_markers_ex(duration_line, "Duration: ", "."), "00:01:23");  // the defaults
}

TEST(TextHelpers, TextLeftOfAndAfterMarker) {
  struct Case {
    std::string text, marker;
    int start;
    bool ignore_case;
    std::string left_of, after;
  };
  const Case cases[] = {
      {"http://host/a.m3u8?key=1", "?", 0, false, "http://host/a.m3u8", "key=1"},
      {"http://host/a.m3u8", "?", 0, false, "", ""},
      {"a?b?c", "?", 0, false, "a", "c"},
      // Forward from byte 2 / the last one ending before byte 5 - 2 = 3.
      {"a?b?c", "?", 2, false, "a", "b?c"},
      // Forward from byte 3 / the last one ending before byte 2: none.
      {"a?b?c", "?", 3, false, "a?b", ""},
      {"a?b?c", "?", 5, false, "", ""},
      {"a?b?c", "?", INT_MAX, false, "", ""},
      // n = 1 counts as 0: the last one ending before byte 5 / forward from byte 1.
      {"a?b?c", "?", -1, false, "a?b", "b?c"},
      // n = 2: the last one ending before byte 3 / forward from byte 2.
      {"a?b?c", "?", -2, false, "a", "b?c"},
      {"a?b?c", "?", -3, false, "", "c"},
      {"a?b?c", "?", -4, false, "", "c"},
      {"a?b?c", "?", -5, false, "", ""},
      {"a?b?c", "?", INT_MIN, false, "", ""},
      // An occurrence ending on the last byte is not counted backwards.
      {"abc/", "/", 0, false, "abc", ""},
      {"a/b/", "/", 0, false, "a", "b/"},
      {"ab?", "?", -1, false, "", ""},
      {"/", "/", 0, false, "", ""},
      {"xAbYaBz", "ab", 0, false, "", ""},
      {"xAbYaBz", "ab", 0, true, "x", "z"},
      {"abc", "", 0, false, "", ""},
      {"", "?", 0, false, "", ""},
      {"/视频/片段.mp4", "/", 0, false, "", "片段.mp4"},
      {"片段.mp4?x", ".MP4", 0, true, "片段", "?x"},
      {"中xx", inside_zhong, 0, false, "", ""},
      {"中xx", inside_zhong, -1, false, "", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(text_left_of_marker(c.text, c.marker, c.start, c.ignore_case), c.left_of)
        << c.text << " | " << c.marker << " | " << c.start;
    EXPECT_EQ(text_after_marker(c.text, c.marker, c.start, c.ignore_case), c.after)
        << c.text << " | " << c.marker << " | " << c.start;
  }
  EXPECT_EQ(text_left_of_marker("a?b", "?"), "a");  // the defaults
  EXPECT_EQ(text_after_marker("a?b", "?"), "b");
}

TEST(TextHelpers, DurationTextToSecondsAndFixedHms) {
  struct Case {
    std::string text;
    int by_separators, by_positions;
  };
  const Case cases[] = {
      {"00:00:00", 0, 0},
      {"00:01:05", 65, 65},
      {"01:02:03", 3723, 3723},
      {"99:59:59", 359999, 359999},
      {"1:2:3", 3723, 3600},                 // positions read "1:", ":3" and ":3"
      {"1:02:03", 3723, 3723},               // positions read "1:", "2:" and "03"
      {"00:01:23.45", 83, 60 + 45},          // positions take the last two characters
      {"00:00:59.99", 59, 99},
      {"12:34", 0, 12 * 3600 + 34 * 60 + 34},
      {"123", 0, 12 * 3600 + 23},
      {"", 0, 0},
      {"N/A", 0, 0},
      {"1:2:", 0, 3600 + 2},                // the trailing empty piece is dropped
      {"1::3", 3603, 3600 + 3 * 60},
      {"1:2::", 3720, 3600},
      {"1:2:3:4", 3723, 3600},               // pieces after the third are ignored
      {"a:b:c", 0, 0},
      {" 1: 2: 3", 3723, 3723},
      {"-1:00:00", -3600, -3600},
      {"+1:00:00", 3600, 3600},
      {"０１:０２:０３", 3723, 3723},          // full-width digits
      {"０１：０２：０３", 0, 3723},           // full-width colons do not separate
      {"　1:2:3", 3723, 3600 + 2 * 60},      // a full-width blank is a blank
      {"99999999999:00:00", INT_MAX, 99 * 3600 + 99 * 60},
      {"-99999999999:00:00", INT_MIN, -9 * 3600 + 99 * 60},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(duration_text_to_seconds(c.text), c.by_separators) << c.text;
    EXPECT_EQ(fixed_hms_to_seconds(c.text), c.by_positions) << c.text;
  }
}

TEST(TextHelpers, AsciiCaseFoldingAndReplacing) {
  EXPECT_EQ(fold_ascii_case("HTTPS://Vod.例子.COM/ÄB"), "https://vod.例子.com/Äb");
  // Every occurrence, whatever its case, left to right and never overlapping.
  EXPECT_EQ(replace_ignoring_ascii_case("//Www.a.com//WWW.b//www.", "//www.", "//v."), "//v.a.com//v.b//v.");
  EXPECT_EQ(replace_ignoring_ascii_case("aaaa", "aa", "b"), "bb");
  EXPECT_EQ(replace_ignoring_ascii_case("abc", "", "x"), "abc");
  EXPECT_EQ(replace_ignoring_ascii_case("abc", "d", "x"), "abc");
  // Never from inside a multibyte character.
  EXPECT_EQ(replace_ignoring_ascii_case("中中", inside_zhong, "x"), "中中");
}

TEST(TextHelpers, TextToNumber) {
  const std::pair<const char*, double> cases[] = {
      {"65535", 65535},     {"６５５３５", 65535}, {"  5.9", 5.9},   {"\t-3", -3},       {"+2", 2},
      {"12.5kHz", 12.5},    {"1e3", 1000},        {".5", 0.5},      {"３．５", 3.5},    {"　7", 7},
      {"", 0},              {"abc", 0},           {"-", 0},         {".", 0},           {"inf", 0},
      {"nan", 0},           {"0x10", 0},          {"1e999", 0},     {"y", 0},           {"20", 20},
  };
  for (const auto& [text, expected] : cases) EXPECT_DOUBLE_EQ(text_to_number(text), expected) << text;
}

TEST(TextHelpers, FirstTextStartingWith) {
  const std::vector<std::string> items = {"95%", "90%", "85%", "模式一", "DejaVu Sans(DejaVuSans)"};
  EXPECT_EQ(first_text_starting_with(items, "85"), 2);
  EXPECT_EQ(first_text_starting_with(items, "9"), 0);
  EXPECT_EQ(first_text_starting_with(items, "模式"), 3);
  EXPECT_EQ(first_text_starting_with(items, "dejavu sans("), 4);
  EXPECT_EQ(first_text_starting_with(items, ""), 0);
  EXPECT_EQ(first_text_starting_with(items, "85%%"), -1);
  EXPECT_EQ(first_text_starting_with(items, "模式二"), -1);
  EXPECT_EQ(first_text_starting_with({}, ""), -1);
}

TEST(TextHelpers, SplitCrlfLines) {
  EXPECT_TRUE(split_crlf_lines("").empty());
  EXPECT_EQ(split_crlf_lines("a"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(split_crlf_lines("a\r\n"), (std::vector<std::string>{"a"}));
  EXPECT_EQ(split_crlf_lines("\r\n"), (std::vector<std::string>{""}));
  EXPECT_EQ(split_crlf_lines("a\r\n\r\nb\nc\r"), (std::vector<std::string>{"a", "", "b\nc\r"}));
}

TEST(TextHelpers, FormatSecondsHms) {
  struct Case {
    int seconds;
    const char* text;
  };
  const Case cases[] = {
      {0, "00:00:00"},      {3, "00:00:03"},     {59, "00:00:59"},      {60, "00:01:00"},
      {61, "00:01:01"},     {3599, "00:59:59"},  {3600, "01:00:00"},    {3725, "01:02:05"},
      {86399, "23:59:59"},  {359999, "99:59:59"}, {360000, "00:00:00"}, {-5, "00:00:-5"},
      {-75, "00:00:75"},    {INT_MAX, "23:14:07"},
  };
  for (const auto& c : cases) EXPECT_EQ(format_seconds_hms(c.seconds), c.text) << c.seconds;
}
