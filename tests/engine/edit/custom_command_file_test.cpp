#include "engine/edit/custom_command_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

TEST(CustomCommandFile, LivesInTheDataFolderOfTheRunFolder) {
  run_folder.set("/opt/tool");
  EXPECT_EQ(custom_command_file_path(), "/opt/tool/data/ffmpeg.txt");
  run_folder.set("");
}

TEST(CustomCommandFile, ReadingTakesCrlfLfABomAndStopsAtAZeroByte) {
  TempDir dir;
  const std::string path = dir / "ffmpeg.txt";
  struct Case {
    std::string bytes;
    std::string text;
  };
  const std::vector<Case> cases = {
      {"-i [input] [output]\r\n-i [input] -an [output]", "-i [input] [output]\r\n-i [input] -an [output]"},
      {"-i [input] [output]\n-i [input] -an [output]\n", "-i [input] [output]\r\n-i [input] -an [output]\r\n"},
      {"a\r\nb\nc\r\n", "a\r\nb\r\nc\r\n"},
      {"\xEF\xBB\xBF-metadata title=\"标题\"\r\n", "-metadata title=\"标题\"\r\n"},
      {std::string("a\r\nb\0c\r\n", 8), "a\r\nb"},
      {std::string("\0abc", 4), ""},
      {"\n\n", "\r\n\r\n"},
      {"", ""},
  };
  for (const Case& c : cases) {
    write_file(path, c.bytes);
    EXPECT_EQ(read_custom_command_file(path), c.text) << c.bytes;
  }
  EXPECT_EQ(read_custom_command_file(dir / "missing.txt"), "");
  EXPECT_EQ(read_custom_command_file(dir.path()), "");
}

TEST(CustomCommandFile, WritingGivesCrlfWithoutBomAndKeepsTheOldFileOnFailure) {
  TempDir dir;
  run_folder.set(dir.path());
  fs::create_directory(dir / "data");
  ASSERT_TRUE(write_custom_command_file("-i [input] [output]\n-i [input] -metadata comment=\"备注\" [output]\r\n"));
  EXPECT_EQ(read_file(dir / "data/ffmpeg.txt"),
            "-i [input] [output]\r\n-i [input] -metadata comment=\"备注\" [output]\r\n");
  // Written as typed otherwise: no line end added, blanks kept.
  ASSERT_TRUE(write_custom_command_file(" x "));
  EXPECT_EQ(read_file(dir / "data/ffmpeg.txt"), " x ");
  ASSERT_TRUE(write_custom_command_file(""));
  EXPECT_EQ(read_file(dir / "data/ffmpeg.txt"), "");

  // The edit job's view of a written file: its lines.
  ASSERT_TRUE(write_custom_command_file("a\nb\r\n\r\nc"));
  EXPECT_EQ(split_crlf_lines(read_custom_command_file()), (std::vector<std::string>{"a", "b", "", "c"}));

  // Without the data folder nothing can be written, and a file that cannot be replaced
  // keeps its content.
  EXPECT_FALSE(write_custom_command_file(dir / "no_data/ffmpeg.txt", "x"));
  EXPECT_FALSE(fs::exists(dir / "no_data"));
  fs::remove(dir / "data/ffmpeg.txt");
  fs::create_directory(dir / "data/ffmpeg.txt");
  EXPECT_FALSE(write_custom_command_file("x"));
  EXPECT_TRUE(fs::is_directory(dir / "data/ffmpeg.txt"));
  run_folder.set("");
}

TEST(CustomCommandFile, AFileInTheOldCodePageIsReadAsTextAndWrittenBackInIt) {
  TempDir dir;
  const std::string path = dir / "ffmpeg.txt";
  // "中文" in code page 936: no UTF-8, so the file is read in that code page.
  const std::string gbk = "-i [input] -metadata title=\"\xD6\xD0\xCE\xC4\" [output]\r\n";
  write_file(path, gbk);
  EXPECT_EQ(read_custom_command_file(path), "-i [input] -metadata title=\"中文\" [output]\r\n");

  // A write keeps the code page of the file it replaces; a character the code page
  // lacks takes its four-byte form of the same family, never a replacement.
  ASSERT_TRUE(write_custom_command_file(path, "-i [input] -metadata title=\"中文\" [output]\n-metadata comment=\"文字\xF0\x9F\x98\x80\"\n"));
  EXPECT_EQ(read_file(path), gbk + "-metadata comment=\"\xCE\xC4\xD7\xD6\x94\x39\xFC\x36\"\r\n");
  EXPECT_EQ(read_custom_command_file(path),
            "-i [input] -metadata title=\"中文\" [output]\r\n-metadata comment=\"文字\xF0\x9F\x98\x80\"\r\n");

  // A byte that neither reads is kept as it is, through a read and a write.
  write_file(path, "a\xD6\xD0\xFF\r\n");
  const std::string text = read_custom_command_file(path);
  EXPECT_EQ(text, "a中\xFF\r\n");
  ASSERT_TRUE(write_custom_command_file(path, text + "b"));
  EXPECT_EQ(read_file(path), "a\xD6\xD0\xFF\r\nb");

  // A UTF-8 file, or none, is written in UTF-8.
  write_file(path, "-metadata title=\"标题\"\r\n");
  ASSERT_TRUE(write_custom_command_file(path, "文字"));
  EXPECT_EQ(read_file(path), "文字");
  fs::remove(path);
  ASSERT_TRUE(write_custom_command_file(path, "文字"));
  EXPECT_EQ(read_file(path), "文字");
}
