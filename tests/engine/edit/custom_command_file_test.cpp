#include "engine/edit/custom_command_file.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "engine/globals.h"
#include "engine/text_helpers.h"
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
