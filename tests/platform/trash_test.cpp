#include "platform/trash.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <regex>

#include "platform/files.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

// Points XDG_DATA_HOME at a fresh folder (one that does not exist yet) for one test.
class TrashTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    data_home_ = home_ / "data/share";
    setenv("XDG_DATA_HOME", data_home_.c_str(), 1);
  }
  void TearDown() override { setenv("XDG_DATA_HOME", saved_.c_str(), 1); }
  std::string trash(const std::string& relative) const { return data_home_ + "/Trash/" + relative; }

  TempDir home_, files_;
  std::string data_home_, saved_;
};

}  // namespace

TEST_F(TrashTest, FileGoesToTheHomeTrashWithItsOriginalPathRecorded) {
  const std::string original = files_ / "my clip 中.mp4";
  write_file(original, "video bytes");
  std::string where;
  ASSERT_TRUE(move_to_trash(original, &where));
  EXPECT_FALSE(path_exists(original));
  EXPECT_EQ(where, trash("files/my clip 中.mp4"));
  EXPECT_EQ(read_file(where), "video bytes");

  const std::string info = read_file(trash("info/my clip 中.mp4.trashinfo"));
  // (the temporary folder's own name needs no escapes)
  EXPECT_NE(info.find("[Trash Info]\nPath=" + files_.path() + "/my%20clip%20%E4%B8%AD.mp4\n"), std::string::npos)
      << info;
  EXPECT_TRUE(std::regex_search(info, std::regex("\nDeletionDate=\\d{4}-\\d\\d-\\d\\dT\\d\\d:\\d\\d:\\d\\d\n")))
      << info;

  struct stat st;
  ASSERT_EQ(::stat(data_home_.c_str(), &st), 0);
  ASSERT_EQ(::stat(trash("").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST_F(TrashTest, SameNameTwiceGetsTwoEntriesAndLinksMoveAsLinks) {
  write_file(files_ / "a.txt", "first");
  ASSERT_TRUE(move_to_trash(files_ / "a.txt"));
  write_file(files_ / "a.txt", "second");
  std::string where;
  ASSERT_TRUE(move_to_trash(files_ / "a.txt", &where));
  EXPECT_EQ(where, trash("files/a (2).txt"));
  EXPECT_EQ(read_file(trash("files/a.txt")), "first");
  EXPECT_EQ(read_file(trash("files/a (2).txt")), "second");
  EXPECT_TRUE(path_exists(trash("info/a (2).txt.trashinfo")));

  // A link (here even a dangling one) is trashed itself; its target stays.
  write_file(files_ / "target", "kept");
  fs::create_symlink(files_ / "target", files_ / "link");
  fs::create_symlink(files_ / "nothing", files_ / "dangling");
  ASSERT_TRUE(move_to_trash(files_ / "link", &where));
  EXPECT_TRUE(fs::is_symlink(where));
  EXPECT_EQ(read_file(files_ / "target"), "kept");
  EXPECT_TRUE(move_to_trash(files_ / "dangling"));
  EXPECT_FALSE(fs::is_symlink(files_ / "dangling"));

  // Folders go whole; a relative name is taken from the current folder.
  fs::create_directories(files_ / "folder/inner");
  ASSERT_TRUE(move_to_trash(files_ / "folder/"));
  EXPECT_TRUE(is_folder(trash("files/folder/inner")));
  write_file(files_ / "relative.txt", "r");
  const auto saved_cwd = fs::current_path();
  fs::current_path(files_.path());
  const bool moved = move_to_trash("relative.txt");
  fs::current_path(saved_cwd);
  ASSERT_TRUE(moved);
  EXPECT_NE(read_file(trash("info/relative.txt.trashinfo")).find("Path=" + files_.path() + "/relative.txt\n"),
            std::string::npos);
}

TEST_F(TrashTest, NothingToTrashOrNoUsableTrashFails) {
  EXPECT_FALSE(move_to_trash(""));
  EXPECT_FALSE(move_to_trash(files_ / "missing"));
  EXPECT_FALSE(move_to_trash("/"));
  EXPECT_FALSE(move_to_trash(files_ / "."));

  // An item on a file system without a usable trash stays where it is.
  struct stat proc_st, home_st;
  if (::stat("/proc/version", &proc_st) != 0 || ::stat(home_.path().c_str(), &home_st) != 0 ||
      proc_st.st_dev == home_st.st_dev) {
    GTEST_SKIP() << "no second file system to try";
  }
  EXPECT_FALSE(move_to_trash("/proc/version"));
  EXPECT_TRUE(path_exists("/proc/version"));
}
