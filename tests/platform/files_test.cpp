#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

TEST(Files, QueriesFollowLinksAndTellFoldersFromFiles) {
  TempDir dir;
  write_file(dir / "a.txt", "123456789");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "sub", dir / "sub_link");
  fs::create_symlink(dir / "a.txt", dir / "a_link");
  fs::create_symlink(dir / "missing", dir / "dangling");

  EXPECT_TRUE(path_exists(dir / "a.txt"));
  EXPECT_TRUE(path_exists(dir / "sub"));
  EXPECT_FALSE(path_exists(dir / "missing"));
  EXPECT_FALSE(path_exists(dir / "dangling"));
  EXPECT_FALSE(path_exists(""));

  EXPECT_TRUE(is_folder(dir / "sub"));
  EXPECT_TRUE(is_folder(dir / "sub/"));
  EXPECT_TRUE(is_folder(dir / "sub_link"));
  EXPECT_FALSE(is_folder(dir / "a.txt"));
  EXPECT_FALSE(is_folder(dir / "missing"));

  EXPECT_EQ(file_length(dir / "a.txt"), 9u);
  EXPECT_EQ(file_length(dir / "a_link"), 9u);
  EXPECT_EQ(file_length(dir / "sub"), 0u);
  EXPECT_FALSE(file_length(dir / "missing").has_value());
  EXPECT_FALSE(file_length(dir / "dangling").has_value());

  const std::string real_dir = resolve_real_path(dir.path());
  EXPECT_EQ(resolve_real_path(dir / "sub_link/../a_link"), real_dir + "/a.txt");
  EXPECT_EQ(resolve_real_path(dir / "sub//"), real_dir + "/sub");
  EXPECT_EQ(resolve_real_path(dir / "dangling"), "");
  EXPECT_EQ(resolve_real_path(""), "");
}

TEST(Files, SameFileComparesIdentityNotSpelling) {
  TempDir dir;
  write_file(dir / "a.mp4", "same bytes");
  write_file(dir / "b.mp4", "same bytes");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "a.mp4", dir / "link.mp4");
  fs::create_hard_link(dir / "a.mp4", dir / "hard.mp4");
  fs::create_symlink(dir / "missing", dir / "dangling");

  EXPECT_TRUE(is_same_file(dir / "a.mp4", dir / "a.mp4"));
  EXPECT_TRUE(is_same_file(dir / "a.mp4", dir / "sub/../a.mp4"));
  EXPECT_TRUE(is_same_file(dir / "a.mp4", dir.path() + "//a.mp4"));
  EXPECT_TRUE(is_same_file(dir / "link.mp4", dir / "a.mp4"));
  EXPECT_TRUE(is_same_file(dir / "hard.mp4", dir / "a.mp4"));
  // Equal bytes are not the same file; nothing there is nobody's file.
  EXPECT_FALSE(is_same_file(dir / "a.mp4", dir / "b.mp4"));
  EXPECT_FALSE(is_same_file(dir / "missing", dir / "missing"));
  EXPECT_FALSE(is_same_file(dir / "dangling", dir / "missing"));
  EXPECT_FALSE(is_same_file("", ""));
}

TEST(Files, AStampChangesWhenTheFileAtAPathAppearsChangesOrGoes) {
  TempDir dir;
  const std::string path = dir / "clip.mp4";
  EXPECT_FALSE(file_stamp(path).has_value());
  EXPECT_FALSE(file_stamp("").has_value());

  write_file(path, "first");
  const auto first = file_stamp(path);
  ASSERT_TRUE(first.has_value());
  EXPECT_EQ(file_stamp(path), first);
  fs::create_symlink(path, dir / "link.mp4");
  EXPECT_EQ(file_stamp(dir / "link.mp4"), first);  // the file behind the link

  // Written to (a longer content), replaced by another file, gone.
  write_file(path, "first and more");
  const auto written = file_stamp(path);
  EXPECT_NE(written, first);
  write_file(dir / "other.mp4", "first and more");
  fs::rename(dir / "other.mp4", path);
  EXPECT_NE(file_stamp(path), written);
  fs::remove(path);
  EXPECT_FALSE(file_stamp(path).has_value());
}

TEST(Files, ReadFileBytesTakesRegularFilesOnly) {
  TempDir dir;
  std::string bytes("a\0b\xFF", 4);
  for (int i = 0; i < 100000; ++i) bytes += static_cast<char>(i % 251);  // crosses the read buffer
  write_file(dir / "data.bin", bytes);
  write_file(dir / "empty", "");
  fs::create_directory(dir / "sub");
  fs::create_symlink(dir / "data.bin", dir / "link");
  ASSERT_EQ(::mkfifo((dir / "pipe").c_str(), 0600), 0);

  EXPECT_EQ(read_file_bytes(dir / "data.bin"), bytes);
  EXPECT_EQ(read_file_bytes(dir / "link"), bytes);
  EXPECT_EQ(read_file_bytes(dir / "empty"), "");
  EXPECT_TRUE(is_regular_file(dir / "link"));
  for (const std::string& path : {dir / "sub", dir / "missing", dir / "pipe", std::string()}) {
    EXPECT_FALSE(read_file_bytes(path).has_value()) << path;  // the pipe must not block
    EXPECT_FALSE(is_regular_file(path)) << path;
    // Only where nothing exists does the read call the file missing.
    bool missing = path.empty();
    EXPECT_FALSE(read_file_bytes(path, &missing).has_value()) << path;
    EXPECT_EQ(missing, path == dir / "missing") << path;
  }
  bool missing = true;
  EXPECT_EQ(read_file_bytes(dir / "empty", &missing), "");
  EXPECT_FALSE(missing);
}

TEST(Files, SparseFileReportsItsFullLength) {
  TempDir dir;
  const std::string path = dir / "sparse.bin";
  write_file(path, "");
  const std::uint64_t five_gb = 5ull << 30;
  ASSERT_EQ(::truncate(path.c_str(), static_cast<off_t>(five_gb)), 0);
  EXPECT_EQ(file_length(path), five_gb);
}

TEST(Files, CreateFoldersMakesEveryMissingLevel) {
  TempDir dir;
  EXPECT_TRUE(create_folders(dir / "a/b/c"));
  EXPECT_TRUE(is_folder(dir / "a/b/c"));
  EXPECT_TRUE(create_folders(dir / "a/b/c"));   // already there
  EXPECT_TRUE(create_folders(dir / "x/y/"));    // trailing separator
  EXPECT_TRUE(is_folder(dir / "x/y"));
  write_file(dir / "file", "x");
  EXPECT_FALSE(create_folders(dir / "file"));   // a file stands there
  EXPECT_FALSE(create_folders(dir / "file/z"));
  EXPECT_FALSE(create_folders(""));
}

TEST(Files, CopyOverwritesOrLeavesTheDestinationAlone) {
  TempDir dir;
  write_file(dir / "src", "new bytes");
  write_file(dir / "dst", "old");
  ::chmod((dir / "src").c_str(), 0640);

  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "dst", true));
  EXPECT_EQ(read_file(dir / "dst"), "old");

  EXPECT_TRUE(copy_file_bytes(dir / "src", dir / "dst", false));
  EXPECT_EQ(read_file(dir / "dst"), "new bytes");

  EXPECT_TRUE(copy_file_bytes(dir / "src", dir / "fresh", true));
  EXPECT_EQ(read_file(dir / "fresh"), "new bytes");
  struct stat st;
  ASSERT_EQ(::stat((dir / "fresh").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0640u);

  // A dangling link as destination counts as existing: nothing is created through it.
  fs::create_symlink(dir / "link_target", dir / "dangling");
  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "dangling", true));
  EXPECT_FALSE(path_exists(dir / "link_target"));
}

TEST(Files, CopyRefusesToDestroyItsOwnSourceAndOtherBadInput) {
  TempDir dir;
  write_file(dir / "src", "precious");
  fs::create_symlink(dir / "src", dir / "alias");
  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "src", false));
  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "alias", false));
  EXPECT_EQ(read_file(dir / "src"), "precious");

  EXPECT_FALSE(copy_file_bytes(dir / "missing", dir / "out", false));
  EXPECT_FALSE(path_exists(dir / "out"));
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(copy_file_bytes(dir / "folder", dir / "out", false));
  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "folder", false));
  EXPECT_FALSE(copy_file_bytes(dir / "src", dir / "no/such/folder/out", false));
}

TEST(Files, CopyOfALargerFileKeepsEveryByte) {
  TempDir dir;
  std::string bytes;
  for (int i = 0; i < 300000; ++i) bytes.push_back(static_cast<char>(i * 7 % 251));
  write_file(dir / "big", bytes);
  ASSERT_TRUE(copy_file_bytes(dir / "big", dir / "copy", false));
  EXPECT_EQ(read_file(dir / "copy"), bytes);
}

TEST(Files, RemoveFileTakesFilesAndLinksButNotFolders) {
  TempDir dir;
  write_file(dir / "target", "x");
  fs::create_symlink(dir / "target", dir / "link");
  fs::create_directory(dir / "folder");
  EXPECT_TRUE(remove_file(dir / "link"));
  EXPECT_TRUE(path_exists(dir / "target"));
  EXPECT_TRUE(remove_file(dir / "target"));
  EXPECT_FALSE(path_exists(dir / "target"));
  EXPECT_FALSE(remove_file(dir / "target"));
  EXPECT_FALSE(remove_file(dir / "folder"));
  EXPECT_TRUE(is_folder(dir / "folder"));
}

TEST(Files, ListingKeepsFileSystemOrderAndReportsLinksAsLinks) {
  TempDir dir;
  write_file(dir / "f.mp4", "");
  fs::create_directory(dir / "d");
  fs::create_directory(dir / ".hidden");
  fs::create_symlink(dir / "d", dir / "dl");
  fs::create_symlink(dir / "f.mp4", dir / "fl");

  const auto entries = list_folder_entries(dir.path());
  ASSERT_EQ(entries.size(), 5u);
  std::vector<std::string> names;
  for (const auto& e : entries) names.push_back(e.name);
  std::vector<std::string> expected_order;
  for (const auto& e : fs::directory_iterator(dir.path())) expected_order.push_back(e.path().filename());
  EXPECT_EQ(names, expected_order);  // the directory's own order, unsorted

  auto find = [&](const std::string& name) {
    return *std::find_if(entries.begin(), entries.end(), [&](const FolderEntry& e) { return e.name == name; });
  };
  EXPECT_TRUE(find("d").is_folder);
  EXPECT_TRUE(find(".hidden").is_folder);
  EXPECT_FALSE(find("f.mp4").is_folder);
  EXPECT_FALSE(find("dl").is_folder);
  EXPECT_TRUE(find("dl").is_link);
  EXPECT_TRUE(find("dl").link_to_folder);
  EXPECT_TRUE(find("fl").is_link);
  EXPECT_FALSE(find("fl").link_to_folder);

  EXPECT_TRUE(list_folder_entries(dir / "missing").empty());
  EXPECT_TRUE(list_folder_entries(dir / "f.mp4").empty());
}

TEST(Files, NamePatterns) {
  struct Case {
    const char* name;
    const char* pattern;
    bool match;
  };
  const Case cases[] = {
      {"a.mp4", "*.*", true},       {"noext", "*.*", true},      {".hidden", "*.*", true},
      {"a.mp4", "*", true},         {"a.mp4", "*.mp4", true},    {"A.MP4", "*.mp4", true},
      {"a.mp4", "*.MP4", true},     {"a.mp4.txt", "*.mp4", false}, {"a.mkv", "*.mp4", false},
      {"ab", "a?", true},           {"a", "a?", false},          {"a中", "a?", true},
      {"中文.ts", "??.ts", true},   {"中文.ts", "?.ts", false},  {"x1y", "x*y", true},
      {"xy", "x*y", true},          {"x", "x*y", false},         {"abc", "abc", true},
      {"abcd", "abc", false},       {"", "*", true},              {"a*b", "a*b", true},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(name_matches_pattern(c.name, c.pattern), c.match) << c.name << " ~ " << c.pattern;
  }
}

TEST(Files, RemoveFolderTreeRemovesLinksNotTheirTargets) {
  TempDir dir;
  fs::create_directories(dir / "tree/a/b");
  write_file(dir / "tree/a/b/file", "x");
  fs::create_directories(dir / "outside");
  write_file(dir / "outside/keep", "keep");
  fs::create_symlink(dir / "outside", dir / "tree/a/link_to_outside");
  fs::create_symlink(dir.path(), dir / "tree/loop");  // a loop back up

  EXPECT_TRUE(remove_folder_tree(dir / "tree"));
  EXPECT_FALSE(path_exists(dir / "tree"));
  EXPECT_EQ(read_file(dir / "outside/keep"), "keep");

  // A link to a folder, named with a trailing "/", goes as a link.
  fs::create_symlink(dir / "outside", dir / "link");
  EXPECT_TRUE(remove_folder_tree(dir / "link/"));
  EXPECT_FALSE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(read_file(dir / "outside/keep"), "keep");

  EXPECT_TRUE(remove_folder_tree(dir / "never_existed"));
}

TEST(Files, RemoveFolderTreeRefusesRootHomeAndRelativePaths) {
  TempDir dir;
  const std::string saved_home = std::getenv("HOME");
  const std::string home = dir / "home/user";
  fs::create_directories(home);
  write_file(home + "/keep", "keep");
  fs::create_symlink(dir / "home", dir / "home_link");
  setenv("HOME", home.c_str(), 1);

  for (const std::string& p : {std::string(""), std::string("/"), std::string("//"), std::string("/./"),
                               std::string("/tmp/.."), std::string("relative/folder"), home, home + "/",
                               home + "//", dir / "home", dir / "home/user/../user", dir / "home_link/user",
                               dir.path() /* holds the home folder */}) {
    EXPECT_FALSE(remove_folder_tree(p)) << p;
  }
  EXPECT_EQ(read_file(home + "/keep"), "keep");
  setenv("HOME", saved_home.c_str(), 1);
}

TEST(Files, ReplaceFileContentsPutsTheWholeContentOrLeavesTheOldFile) {
  TempDir dir;
  const std::string target = dir / "setup.bin";
  std::string binary("MZ\0\x01", 4);
  binary += std::string(100000, 'x');
  ASSERT_TRUE(replace_file_contents(target, binary, 0755));
  EXPECT_EQ(read_file(target), binary);
  struct stat st {};
  ASSERT_EQ(::stat(target.c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 0777, 0755u);

  ASSERT_TRUE(replace_file_contents(target, "short"));
  EXPECT_EQ(read_file(target), "short");

  // A link is replaced by the file; what it pointed to stays.
  write_file(dir / "elsewhere", "keep me");
  fs::create_symlink(dir / "elsewhere", dir / "link");
  ASSERT_TRUE(replace_file_contents(dir / "link", "new"));
  EXPECT_FALSE(fs::is_symlink(dir / "link"));
  EXPECT_EQ(read_file(dir / "link"), "new");
  EXPECT_EQ(read_file(dir / "elsewhere"), "keep me");

  // Failures leave the old state and no temporary file behind.
  fs::create_directory(dir / "folder");
  EXPECT_FALSE(replace_file_contents(dir / "folder", "x"));
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
  EXPECT_FALSE(replace_file_contents(dir / "missing/setup.bin", "x"));
  EXPECT_FALSE(replace_file_contents(dir / "", "x"));
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(dir.path())) names.push_back(entry.path().filename().string());
  std::sort(names.begin(), names.end());
  EXPECT_EQ(names, (std::vector<std::string>{"elsewhere", "folder", "link", "setup.bin"}));
}
