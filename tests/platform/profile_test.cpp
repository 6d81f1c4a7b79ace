#include "platform/profile.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <thread>
#include <tuple>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

// A file with a BOM, mixed line ends, spacing, duplicates and lines outside sections.
const std::string sample =
    "\xEF\xBB\xBF; settings\r\n"
    "orphan=before any section\r\n"
    "[批量剪辑视频]\r\n"
    "x4=y\r\n"
    "  Y4  =   3  \r\n"
    "empty=\r\n"
    "blank=   \r\n"
    "eq=a=b=c\r\n"
    "quoted=\"q\"\r\n"
    "dup=first\r\n"
    "dup=second\r\n"
    "no equals sign\r\n"
    "\r\n"
    "[Other]\n"
    "Key=v1\n"
    "\n"
    "[other]\r\n"
    "late=hidden\r\n"
    "[ spaced ]\r\n"
    "k=v";

}  // namespace

TEST(Profile, ReadSemantics) {
  TempDir dir;
  const std::string ini = dir / "qfconfig.ini";
  write_file(ini, sample);
  struct Case {
    const char* section;
    const char* key;
    const char* expected;
  };
  const Case cases[] = {
      {"批量剪辑视频", "x4", "y"},
      {"批量剪辑视频", "X4", "y"},           // ASCII case of the key
      {"批量剪辑视频", "y4", "3"},           // both sides trimmed
      {" 批量剪辑视频 ", " Y4 ", "3"},       // the caller's names trimmed too
      {"批量剪辑视频", "empty", ""},         // present and empty: no default
      {"批量剪辑视频", "blank", ""},
      {"批量剪辑视频", "eq", "a=b=c"},       // all after the first "="
      {"批量剪辑视频", "quoted", "\"q\""},   // quotes are part of the value
      {"批量剪辑视频", "dup", "first"},      // the first duplicate wins
      {"批量剪辑视频", "missing", "DEFAULT"},
      {"批量剪辑视频", "no equals sign", "DEFAULT"},
      {"批量剪辑视频", "Key", "DEFAULT"},    // a key of another section
      {"批量转换视频", "x4", "DEFAULT"},     // a missing section
      {"批量剪辑", "x4", "DEFAULT"},         // names match whole
      {"OTHER", "KEY", "v1"},                // LF line ends, ASCII case of the section
      {"other", "late", "DEFAULT"},          // only the first section of a name counts
      {"spaced", "k", "v"},                  // last line without a line end
      {"", "orphan", "DEFAULT"},             // lines before the first section belong to none
      {"批量剪辑视频", "", "DEFAULT"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(read_profile_text(ini, c.section, c.key, "DEFAULT"), c.expected) << c.section << " / " << c.key;
  }
  EXPECT_EQ(read_profile_text(ini, "批量剪辑视频", "missing"), "");  // no default given
  EXPECT_EQ(read_profile_text(dir / "none.ini", "a", "b", "d"), "d");
  EXPECT_EQ(read_profile_text(dir.path(), "a", "b", "d"), "d");    // a folder
  // Non-ASCII letters are compared as bytes: no case folding.
  write_file(ini, "[Äb]\r\nÄ=1\r\n");
  EXPECT_EQ(read_profile_text(ini, "äb", "Ä", "d"), "d");
  EXPECT_EQ(read_profile_text(ini, "ÄB", "ä", "d"), "d");
  EXPECT_EQ(read_profile_text(ini, "ÄB", "Ä", "d"), "1");
}

TEST(Profile, WritesChangeOneLineAndKeepEveryOther) {
  TempDir dir;
  const std::string ini = dir / "qfconfig.ini";
  write_file(ini, sample);
  EXPECT_TRUE(write_profile_text(ini, "批量剪辑视频", "X4", "n"));           // in place
  EXPECT_TRUE(write_profile_text(ini, "批量剪辑视频", "y4", "5"));           // keeps the key's spelling
  EXPECT_TRUE(write_profile_text(ini, "批量剪辑视频", "dup", "new"));        // the first duplicate
  EXPECT_TRUE(write_profile_text(ini, "批量剪辑视频", "added", "a=b"));      // end of its section
  EXPECT_TRUE(write_profile_text(ini, "other", "fresh", "x"));              // first section of the name
  EXPECT_TRUE(write_profile_text(ini, "批量合并视频", "保存位置", "/a/b"));  // new section at the end
  EXPECT_TRUE(write_profile_text(ini, "批量剪辑视频", "empty", ""));
  const std::string expected =
      "\xEF\xBB\xBF; settings\r\n"
      "orphan=before any section\r\n"
      "[批量剪辑视频]\r\n"
      "x4=n\r\n"
      "  Y4  =5\r\n"
      "empty=\r\n"
      "blank=   \r\n"
      "eq=a=b=c\r\n"
      "quoted=\"q\"\r\n"
      "dup=new\r\n"
      "dup=second\r\n"
      "no equals sign\r\n"
      "added=a=b\r\n"
      "\r\n"
      "[Other]\r\n"
      "Key=v1\r\n"
      "fresh=x\r\n"
      "\r\n"
      "[other]\r\n"
      "late=hidden\r\n"
      "[ spaced ]\r\n"
      "k=v\r\n"
      "[批量合并视频]\r\n"
      "保存位置=/a/b\r\n";
  EXPECT_EQ(read_file(ini), expected);
  EXPECT_EQ(read_profile_text(ini, "批量剪辑视频", "added"), "a=b");
  EXPECT_EQ(read_profile_text(ini, "Other", "fresh"), "x");
}

TEST(Profile, NewFilesAndRefusedWrites) {
  TempDir dir;
  const std::string ini = dir / "new.ini";
  EXPECT_TRUE(write_profile_text(ini, "原视频", "打开位置1", "/home/u/视频/"));
  EXPECT_EQ(read_file(ini), "[原视频]\r\n打开位置1=/home/u/视频/\r\n");
  EXPECT_TRUE(write_profile_text(ini, "原视频", "打开位置2", "x"));
  EXPECT_EQ(read_file(ini), "[原视频]\r\n打开位置1=/home/u/视频/\r\n打开位置2=x\r\n");

  const std::string before = read_file(ini);
  for (const auto& [section, key, value] : std::initializer_list<std::tuple<std::string, std::string, std::string>>{
           {"原视频", "打开位置1", "two\r\nlines"},
           {"原视频", "打开位置1", "lf\n[injected]"},
           {"原视频", "打开位置1", "cr\r"},
           {"原视频", "打开位置1", std::string("nul\0", 4)},
           {"原视频", "k\ney", "v"},
           {"原\r视频", "k", "v"},
           {"原视频", "", "v"},
           {"原视频", "  ", "v"},
           {"", "k", "v"},
           {"原视频", "a=b", "v"},
           {"原视频", "[k", "v"},
           {"a]b", "k", "v"},
       }) {
    EXPECT_FALSE(write_profile_text(ini, section, key, value)) << section << " / " << key << " / " << value;
  }
  EXPECT_EQ(read_file(ini), before);

  EXPECT_FALSE(write_profile_text(dir / "no/such/folder/x.ini", "s", "k", "v"));
  fs::create_directory(dir / "a_folder.ini");
  EXPECT_FALSE(write_profile_text(dir / "a_folder.ini", "s", "k", "v"));
  EXPECT_FALSE(write_profile_text("", "s", "k", "v"));

  // Nothing but the settings file is left in the folder: no temporary files.
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(dir.path())) names.push_back(e.path().filename());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"a_folder.ini", "new.ini"}));
}

TEST(Profile, WriteKeepsPermissionsAndWritesThroughALink) {
  TempDir dir;
  const std::string real = dir / "real.ini", link = dir / "link.ini";
  write_file(real, "[s]\nk=1\n");
  ::chmod(real.c_str(), 0600);
  fs::create_symlink(real, link);
  EXPECT_TRUE(write_profile_text(link, "s", "k", "2"));
  EXPECT_TRUE(fs::is_symlink(link));
  EXPECT_EQ(read_file(real), "[s]\r\nk=2\r\n");
  struct stat st;
  ASSERT_EQ(::stat(real.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(Profile, ConcurrentWritersLoseNothingAndReadersNeverSeeAPartialFile) {
  TempDir dir;
  const std::string ini = dir / "qfconfig.ini";
  ASSERT_TRUE(write_profile_text(ini, "批量剪辑视频", "marker", "set"));
  constexpr int keys = 150;
  std::atomic<bool> done{false};
  std::atomic<int> bad_reads{0};
  std::thread reader([&] {
    while (!done) {
      if (read_profile_text(ini, "批量剪辑视频", "marker", "MISSING") != "set") ++bad_reads;
    }
  });
  auto writer = [&](const std::string& section, const std::string& prefix) {
    for (int i = 0; i < keys; ++i) write_profile_text(ini, section, prefix + std::to_string(i), std::to_string(i));
  };
  std::thread a(writer, "批量剪辑视频", "a");
  std::thread b(writer, "批量剪辑视频", "b");
  std::thread c(writer, "批量转换视频", "c");
  a.join();
  b.join();
  c.join();
  done = true;
  reader.join();
  EXPECT_EQ(bad_reads, 0);
  for (int i = 0; i < keys; ++i) {
    EXPECT_EQ(read_profile_text(ini, "批量剪辑视频", "a" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(read_profile_text(ini, "批量剪辑视频", "b" + std::to_string(i)), std::to_string(i));
    EXPECT_EQ(read_profile_text(ini, "批量转换视频", "c" + std::to_string(i)), std::to_string(i));
  }
}

TEST(Profile, ABatchWriteEqualsOneWriteAfterAnotherAndLeavesRefusedPairsOut) {
  const std::vector<std::pair<std::string, std::string>> pairs = {
      {"X4", "n"}, {"y4", "5"}, {"dup", "new"}, {"added", "a=b"}, {" added ", "again"}, {"fresh", ""}, {"x4", "y"}};
  TempDir dir;
  const std::string one_by_one = dir / "one.ini", batch = dir / "batch.ini", fresh = dir / "fresh.ini";
  write_file(one_by_one, sample);
  write_file(batch, sample);
  for (const auto& [key, value] : pairs) ASSERT_TRUE(write_profile_text(one_by_one, "批量剪辑视频", key, value));
  EXPECT_TRUE(write_profile_texts(batch, "批量剪辑视频", pairs));
  EXPECT_EQ(read_file(batch), read_file(one_by_one));

  // A new file and a new section come out as one write after another would make them.
  EXPECT_TRUE(write_profile_texts(fresh, "批量剪辑视频", {{"x4", "n"}, {"y4", "3"}}));
  EXPECT_EQ(read_file(fresh), "[批量剪辑视频]\r\nx4=n\r\ny4=3\r\n");

  // Refused pairs keep their old values; the others are written all the same.
  EXPECT_FALSE(write_profile_texts(fresh, "批量剪辑视频",
                                   {{"x4", "y"}, {"y4", "two\r\nlines"}, {"a=b", "v"}, {"y6", "lf\n[x]"}, {"z1", "ok"}}));
  EXPECT_EQ(read_file(fresh), "[批量剪辑视频]\r\nx4=y\r\ny4=3\r\nz1=ok\r\n");

  const std::string before = read_file(fresh);
  EXPECT_FALSE(write_profile_texts(fresh, "批量剪辑视频", {{"y4", "cr\r"}}));
  EXPECT_FALSE(write_profile_texts(fresh, "a]b", {{"k", "v"}}));
  EXPECT_TRUE(write_profile_texts(fresh, "批量剪辑视频", {}));
  EXPECT_EQ(read_file(fresh), before);
  fs::create_directory(dir / "a_folder.ini");
  EXPECT_FALSE(write_profile_texts(dir / "a_folder.ini", "s", {{"k", "v"}}));
}

TEST(Profile, AFileInTheOldCodePageIsReadAsTextAndWrittenBackInIt) {
  TempDir dir;
  const std::string path = dir / "qfconfig.ini";
  // [批量剪辑视频] y6=文字 and [原视频] 打开位置1=/新媒体/ in code page 936.
  const std::string section = "[\xC5\xFA\xC1\xBF\xBC\xF4\xBC\xAD\xCA\xD3\xC6\xB5]\r\n";
  const std::string text_line = "y6=\xCE\xC4\xD7\xD6\r\n";
  const std::string folder_lines = "[\xD4\xAD\xCA\xD3\xC6\xB5]\r\n\xB4\xF2\xBF\xAA\xCE\xBB\xD6\xC3\x31=/\xD0\xC2\xC3\xBD\xCC\xE5/\r\n";
  write_file(path, section + text_line + folder_lines);
  EXPECT_EQ(read_profile_text(path, "批量剪辑视频", "y6"), "文字");
  EXPECT_EQ(read_profile_text(path, "原视频", "打开位置1"), "/新媒体/");

  // Writes keep the code page and every other line's bytes.
  ASSERT_TRUE(write_profile_text(path, "批量剪辑视频", "y7", "中文"));
  ASSERT_TRUE(write_profile_texts(path, "原视频", {{"打开位置2", "/a/"}}));
  EXPECT_EQ(read_file(path), section + text_line + "y7=\xD6\xD0\xCE\xC4\r\n" + folder_lines +
                                 "\xB4\xF2\xBF\xAA\xCE\xBB\xD6\xC3\x32=/a/\r\n");
  EXPECT_EQ(read_profile_text(path, "批量剪辑视频", "y7"), "中文");
  EXPECT_EQ(read_file(path).find("\xEF\xBF\xBD"), std::string::npos);

  // A UTF-8 file stays UTF-8.
  write_file(path, "[原视频]\r\n");
  ASSERT_TRUE(write_profile_text(path, "原视频", "打开位置1", "/新媒体/"));
  EXPECT_EQ(read_file(path), "[原视频]\r\n打开位置1=/新媒体/\r\n");
}
