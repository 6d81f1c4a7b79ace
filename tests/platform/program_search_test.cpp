#include "platform/program_search.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>

#include "tests/support/test_env.h"

namespace {

namespace fs = std::filesystem;
using test_env::ScopedEnvironmentVariable;
using test_env::TempDir;

TEST(FindProgramOnPath, TakesTheFirstExecutableFileInTheOrderOfPath) {
  TempDir dir;
  for (const char* folder : {"folder", "not_executable", "dangling", "first", "second"})
    fs::create_directories(dir / folder);
  fs::create_directories(dir / "folder/tool");  // a folder of that name
  test_env::write_file(dir / "not_executable/tool", "#!/bin/sh\n");
  fs::permissions(dir / "not_executable/tool", fs::perms::owner_read | fs::perms::owner_write);
  fs::create_symlink(dir / "nothing", dir / "dangling/tool");
  for (const char* folder : {"first", "second"}) {
    test_env::write_file(dir / folder + "/tool", "#!/bin/sh\n");
    fs::permissions(dir / folder + "/tool", fs::perms::owner_all);
  }
  // Relative and empty entries are passed over; a trailing "/" is allowed.
  const std::string path = "::first:" + dir / "folder" + ":" + dir / "not_executable" + ":" + dir / "dangling" +
                           ":" + dir / "first/" + ":" + dir / "second";
  ScopedEnvironmentVariable variable("PATH", path.c_str());
  EXPECT_EQ(find_program_on_path("tool"), dir / "first/tool");
  EXPECT_EQ(find_program_on_path("missing"), "");
  EXPECT_EQ(find_program_on_path("first/tool"), "");  // a name, not a path
  EXPECT_EQ(find_program_on_path(""), "");
  ScopedEnvironmentVariable none("PATH", nullptr);
  EXPECT_EQ(find_program_on_path("tool"), "");
}

TEST(LinkToProgram, MakesALinkAndReplacesOnlyADanglingOne) {
  TempDir dir;
  test_env::write_file(dir / "program", "x");
  EXPECT_TRUE(link_to_program(dir / "program", dir / "link"));
  EXPECT_EQ(fs::read_symlink(dir / "link"), dir / "program");

  // A link that still leads somewhere, and a file, stay as they are.
  test_env::write_file(dir / "other", "y");
  EXPECT_FALSE(link_to_program(dir / "other", dir / "link"));
  EXPECT_EQ(fs::read_symlink(dir / "link"), dir / "program");
  test_env::write_file(dir / "file", "mine");
  EXPECT_FALSE(link_to_program(dir / "program", dir / "file"));
  EXPECT_EQ(test_env::read_file(dir / "file"), "mine");

  fs::create_symlink(dir / "gone", dir / "dangling");
  EXPECT_TRUE(link_to_program(dir / "program", dir / "dangling"));
  EXPECT_EQ(fs::read_symlink(dir / "dangling"), dir / "program");
  EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), fs::directory_iterator()), 5);  // nothing left over
}

}  // namespace
