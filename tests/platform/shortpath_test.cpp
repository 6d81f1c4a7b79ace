#include "platform/shortpath.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <set>
#include <thread>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

bool is_plain(const std::string& path) {
  for (const char c : path) {
    if (!std::isalnum(static_cast<unsigned char>(c)) && c != '/' && c != '.' && c != '_' && c != '-') return false;
  }
  return true;
}

}  // namespace

TEST(PathNeedsAlias, BlanksQuotesBackslashesPercentAndControlCharacters) {
  for (const char* text : {"/a b/c.mp4", "/a\tb", "/a\nb", "/a\x7f", "/a\"b", "/a'b", "/a\\b", "/a%d.png"}) {
    EXPECT_TRUE(path_needs_alias(text)) << text;
  }
  for (const char* text : {"", "/home/user/视频/clip.mp4", "/a:b/c;d|e$f(g)&h*[i].mp4", "/a　b"}) {
    EXPECT_FALSE(path_needs_alias(text)) << text;
  }
}

TEST(PathAlias, ExistingFileFolderAndWouldBeFileGetPlainLinks) {
  TempDir dir;
  const std::string folder = dir / "my 视频 \"x\" 100%";
  fs::create_directory(folder);
  write_file(folder + "/a b.mp4", "video bytes");

  const std::string file_alias = make_path_alias(folder + "/a b.mp4");
  ASSERT_FALSE(file_alias.empty());
  EXPECT_TRUE(is_plain(file_alias)) << file_alias;
  EXPECT_EQ(fs::path(file_alias).extension(), ".mp4");
  EXPECT_TRUE(fs::is_symlink(file_alias));
  EXPECT_EQ(read_file(file_alias), "video bytes");
  EXPECT_EQ(fs::path(file_alias).parent_path().string(), path_alias_folder());
  struct stat st;
  ASSERT_EQ(stat(path_alias_folder().c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0700u);
  EXPECT_EQ(st.st_uid, getuid());

  const std::string folder_alias = make_path_alias(folder);
  ASSERT_FALSE(folder_alias.empty());
  EXPECT_TRUE(is_plain(folder_alias));
  EXPECT_TRUE(fs::is_directory(folder_alias));
  EXPECT_EQ(read_file(folder_alias + "/a b.mp4"), "video bytes");

  // A file still to be written: writing through the alias makes the real file.
  const std::string output_alias = make_path_alias(folder + "/out put.mkv");
  ASSERT_FALSE(output_alias.empty());
  EXPECT_EQ(fs::path(output_alias).extension(), ".mkv");
  write_file(output_alias, "written");
  EXPECT_EQ(read_file(folder + "/out put.mkv"), "written");
  EXPECT_TRUE(fs::is_symlink(output_alias));

  EXPECT_EQ(make_path_alias(folder + "/a b.mp4"), file_alias);  // asked again: the same alias
  EXPECT_EQ(path_behind_alias(file_alias), folder + "/a b.mp4");
  EXPECT_EQ(path_behind_alias(folder + "/a b.mp4"), folder + "/a b.mp4");

  const std::set<std::string> distinct{file_alias, folder_alias, output_alias};
  EXPECT_EQ(distinct.size(), 3u);
}

TEST(PathAlias, NoAliasWithoutAFolderAndOddExtensionsLeftOut) {
  TempDir dir;
  EXPECT_EQ(make_path_alias(dir / "no folder/x.mp4"), "");
  EXPECT_EQ(make_path_alias(dir / "missing folder/"), "");
  EXPECT_EQ(make_path_alias(""), "");

  write_file(dir / "a.m p4", "x");
  const std::string odd = make_path_alias(dir / "a.m p4");
  ASSERT_FALSE(odd.empty());
  EXPECT_TRUE(is_plain(odd));
  EXPECT_EQ(fs::path(odd).extension(), "");

  // A relative path counts from the current folder.
  write_file(dir / "r s.ts", "relative");
  const fs::path previous = fs::current_path();
  fs::current_path(dir.path());
  const std::string relative = make_path_alias("r s.ts");
  fs::current_path(previous);
  EXPECT_EQ(read_file(relative), "relative");
  EXPECT_EQ(path_behind_alias(relative), dir / "r s.ts");
}

TEST(PathAlias, ThreadsAskingAtOnceGetOneAliasPerPath) {
  TempDir dir;
  for (int i = 0; i < 8; ++i) write_file(dir / ("f " + std::to_string(i) + ".mp4"), std::to_string(i));
  std::vector<std::vector<std::string>> seen(4);
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 8; ++i) seen[t].push_back(make_path_alias(dir / ("f " + std::to_string(i) + ".mp4")));
    });
  }
  for (auto& thread : threads) thread.join();
  for (int t = 1; t < 4; ++t) EXPECT_EQ(seen[t], seen[0]);
  for (int i = 0; i < 8; ++i) EXPECT_EQ(read_file(seen[0][i]), std::to_string(i));
  EXPECT_EQ(std::set<std::string>(seen[0].begin(), seen[0].end()).size(), 8u);
}

TEST(PathAlias, FolderRemovedByCleanupAndAtExit) {
  TempDir dir;
  write_file(dir / "a b.mp4", "x");
  const std::string first = make_path_alias(dir / "a b.mp4");
  const std::string first_folder = path_alias_folder();
  ASSERT_FALSE(first_folder.empty());
  remove_path_aliases();
  EXPECT_FALSE(fs::exists(fs::symlink_status(first)));
  EXPECT_FALSE(fs::exists(first_folder));
  EXPECT_EQ(path_alias_folder(), "");
  EXPECT_TRUE(fs::exists(dir / "a b.mp4"));  // the target stays

  const std::string again = make_path_alias(dir / "a b.mp4");
  EXPECT_EQ(read_file(again), "x");
  EXPECT_NE(path_alias_folder(), first_folder);

  // A process that made aliases leaves no folder behind when it exits; the parent's
  // folder is not touched by the child's exit.
  int report[2];
  ASSERT_EQ(pipe(report), 0);
  std::fflush(nullptr);
  const pid_t child = fork();
  if (child == 0) {
    const std::string alias = make_path_alias(dir / "a b.mp4");
    const std::string folder = path_alias_folder() + "\n";
    if (write(report[1], folder.data(), folder.size()) < 0 || alias.empty()) _exit(3);
    std::exit(0);
  }
  close(report[1]);
  std::string child_folder;
  char buffer[512];
  for (ssize_t n; (n = read(report[0], buffer, sizeof buffer)) > 0;) child_folder.append(buffer, n);
  close(report[0]);
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  ASSERT_FALSE(child_folder.empty());
  child_folder.pop_back();
  EXPECT_NE(child_folder, path_alias_folder());
  EXPECT_FALSE(fs::exists(child_folder));
  EXPECT_EQ(read_file(again), "x");
}
