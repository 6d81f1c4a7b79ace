#include "engine/common/job_output_names.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/test_env.h"

using test_env::TempDir;

TEST(JobOutputNames, LaterClaimsOfOneNameAreNumberedTheFirstKeepsIt) {
  TempDir dir;
  const std::string out = dir.path() + "/out";
  std::filesystem::create_directories(out);
  std::filesystem::create_directory_symlink(out, dir.path() + "/link");
  JobOutputNames names;
  EXPECT_EQ(names.claim(out + "/movie.mkv"), out + "/movie.mkv");
  EXPECT_EQ(names.claim(out + "/movie.mkv"), out + "/movie(2).mkv");
  // The same folder through a link or a doubled separator is the same name.
  EXPECT_EQ(names.claim(dir.path() + "/link/movie.mkv"), dir.path() + "/link/movie(3).mkv");
  EXPECT_EQ(names.claim(out + "//movie.mkv"), out + "//movie(4).mkv");
  // Other names and other extensions are free.
  EXPECT_EQ(names.claim(out + "/movie.mp3"), out + "/movie.mp3");
  EXPECT_EQ(names.claim(out + "/other.mkv"), out + "/other.mkv");
  EXPECT_TRUE(names.claimed(out + "/movie(2).mkv"));
  EXPECT_FALSE(names.claimed(out + "/movie(5).mkv"));
}

TEST(JobOutputNames, ANumberedNameThatIsTakenOrRefusedIsPassedOver) {
  JobOutputNames names;
  EXPECT_EQ(names.claim("/o/a(2).mp4"), "/o/a(2).mp4");
  EXPECT_EQ(names.claim("/o/a.mp4"), "/o/a.mp4");
  EXPECT_EQ(names.claim("/o/a.mp4"), "/o/a(3).mp4");
  const auto refuse_plain = [](const std::string& p) { return p == "/o/b.mp4" || p == "/o/b(2).mp4"; };
  EXPECT_EQ(names.claim("/o/b.mp4", refuse_plain), "/o/b(3).mp4");
}

TEST(JobOutputNames, NumberGoesBeforeTheExtension) {
  EXPECT_EQ(numbered_output_name("/o/movie.mkv", 2), "/o/movie(2).mkv");
  EXPECT_EQ(numbered_output_name("/o/a.b.mp4", 3), "/o/a.b(3).mp4");
  EXPECT_EQ(numbered_output_name("/o/noext", 2), "/o/noext(2)");
}
