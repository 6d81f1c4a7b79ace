#include "engine/common/file_helpers.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "platform/event_pump.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

// The real folders directly inside `folder`, in the file system's order.
std::vector<std::string> folders_in_order(const std::string& folder) {
  std::vector<std::string> names;
  for (const auto& e : fs::directory_iterator(folder)) {
    if (e.is_directory() && !e.is_symlink()) names.push_back(e.path().filename());
  }
  return names;
}

// The trash folder the test main set up under the temporary HOME.
std::string trash_files() { return std::string(std::getenv("XDG_DATA_HOME")) + "/Trash/files/"; }

}  // namespace

TEST(FileHelpers, IsVideoFile) {
  struct Case {
    const char* path;
    bool video;
  };
  const Case cases[] = {
      {"/v/a.mp4", true},        {"/v/a.MP4", true},         {"/v/a.Mkv", true},
      {"/v/a.flv", true},        {"/v/a.mov", true},         {"/v/a.wmv", true},
      {"/v/a.TS", true},         {"/v/a.avi", true},         {"a.mp4", true},
      {"/v/中文 视频.mp4", true}, {"/v/a.b.mp4", true},       {"/v/a.mpeg", false},
      {"/v/a.m4v", false},       {"/v/a.webm", false},       {"/v/a.mp3", false},
      {"/v/a.mp", false},        {"/v/a.mp44", false},       {"/v/a", false},
      {"/v.mp4/a", false},       {"/v.mp4/", false},         {"/v/a.mp4.txt", false},
      {"/v/a.mp4 ", false},      {"/v/.mp4", true},          {"", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_video_file(c.path), c.video) << c.path;
}

TEST(FileHelpers, ParentFolderAndExtension) {
  struct Case {
    const char* path;
    const char* parent;
    const char* extension;
  };
  const Case cases[] = {
      {"/a/b/c.mp4", "/a/b/", ".mp4"},
      {"/a/b/", "/a/b/", ""},
      {"c.mp4", "", ".mp4"},
      {"", "", ""},
      {"/", "/", ""},
      {"/a.d/file", "/a.d/", ""},            // a dot in a folder name does not count
      {"/a/archive.tar.gz", "/a/", ".gz"},
      {"/a/.hidden", "/a/", ".hidden"},
      {"/a/name.", "/a/", "."},
      {"/a/Season 1.Episode 2", "/a/", ""},  // a blank after the last dot: no extension
      {"/a/my clip.mkv", "/a/", ".mkv"},
      {"/视频\\x/片.flv", "/视频\\x/", ".flv"},  // "\" is an ordinary character
  };
  for (const auto& c : cases) {
    EXPECT_EQ(parent_folder(c.path), c.parent) << c.path;
    EXPECT_EQ(file_extension(c.path), c.extension) << c.path;
  }
}

TEST(FileHelpers, FileNameFromPath) {
  struct Case {
    std::string path, without_extension, with_extension;
  };
  const Case cases[] = {
      {"/home/u/视频/片段.mp4", "片段", "片段.mp4"},
      {"/v/a.b.mkv", "a.b", "a.b.mkv"},
      {"/v/noext", "noext", "noext"},
      {"name.flv", "name", "name.flv"},
      {"/v/dir/", "", ""},
      {"/v//", "", ""},
      {"/", "", ""},
      {"", "", ""},
      {"/v/name.", "name", "name."},
      {"/v/.hidden", "", ".hidden"},
      {"/v/Season 1.Episode 2", "Season 1.Episode 2", "Season 1.Episode 2"},
      {"/v.d/file", "file", "file"},
      {"C:\\videos\\clip.mp4", "C:\\videos\\clip", "C:\\videos\\clip.mp4"},  // only "/" separates
      {"/v/a:b.ts", "a:b", "a:b.ts"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(file_name_from_path(c.path), c.without_extension) << c.path;
    EXPECT_EQ(file_name_from_path(c.path, true), c.with_extension) << c.path;
  }
}

TEST(FileHelpers, EnsureDirectoryMakesEveryLevel) {
  TempDir dir;
  EXPECT_TRUE(ensure_directory(dir / "新媒体/a/b/c"));
  EXPECT_TRUE(fs::is_directory(dir / "新媒体/a/b/c"));
  EXPECT_TRUE(ensure_directory(dir / "新媒体/a/b/c/"));  // exists already
  EXPECT_TRUE(ensure_directory(dir.path()));
  write_file(dir / "file", "");
  EXPECT_FALSE(ensure_directory(dir / "file"));
  EXPECT_FALSE(ensure_directory(dir / "file/sub"));
  EXPECT_FALSE(ensure_directory(""));
}

TEST(FileHelpers, ListSubfoldersGroupsByLevelSkipsDotFoldersAndLinksAndAppends) {
  TempDir dir;
  const std::string root = dir / "scan";
  for (const char* f : {"A/A1", "A/A2/A2x", "A/.hidden/deep", "B/B1", "C", ".git/objects"}) {
    fs::create_directories(root + "/" + f);
  }
  write_file(root + "/file.mp4", "");
  fs::create_symlink(root, root + "/A/loop");           // a link back up
  fs::create_symlink(dir.path(), root + "/B/outside");  // a link out of the tree

  std::vector<std::string> list{"already there"};
  const int count = list_subfolders(root, list);

  // Expected: the direct group in file-system order, then each member's own group
  // (and everything below it) in the same order.
  std::vector<std::string> expected{"already there"};
  std::vector<std::string> top;
  for (const auto& name : folders_in_order(root)) {
    if (name[0] != '.') top.push_back(name);
  }
  for (const auto& name : top) expected.push_back(root + "/" + name);
  for (const auto& name : top) {
    const std::string folder = root + "/" + name;
    std::vector<std::string> second;
    for (const auto& sub : folders_in_order(folder)) {
      if (sub[0] != '.') second.push_back(sub);
    }
    for (const auto& sub : second) expected.push_back(folder + "/" + sub);
    for (const auto& sub : second) {
      for (const auto& third : folders_in_order(folder + "/" + sub)) expected.push_back(folder + "/" + sub + "/" + third);
    }
  }
  EXPECT_EQ(list, expected);
  EXPECT_EQ(count, 7);  // A B C, A1 A2, A2x, B1
  EXPECT_EQ(list.size(), 8u);

  // A trailing "/" gives the same paths; no subfolders or no folder adds nothing.
  std::vector<std::string> again;
  EXPECT_EQ(list_subfolders(root + "/", again), 7);
  EXPECT_EQ(std::vector<std::string>(list.begin() + 1, list.end()), again);
  std::vector<std::string> untouched{"x"};
  EXPECT_EQ(list_subfolders(root + "/C", untouched), 0);
  EXPECT_EQ(list_subfolders(root + "/missing", untouched), 0);
  EXPECT_EQ(list_subfolders(root + "/file.mp4", untouched), 0);
  EXPECT_EQ(untouched, std::vector<std::string>{"x"});
}

TEST(FileHelpers, HasSubfolderCountsRealFoldersOnly) {
  TempDir dir;
  fs::create_directories(dir / "dot/.git");
  fs::create_directories(dir / "files");
  write_file(dir / "files/a.mp4", "");
  fs::create_directories(dir / "linked");
  fs::create_symlink(dir / "files", dir / "linked/to_folder");
  EXPECT_TRUE(has_subfolder(dir.path()));
  EXPECT_TRUE(has_subfolder(dir / "dot"));  // a dot folder counts here
  EXPECT_TRUE(has_subfolder(dir / "dot/"));
  EXPECT_FALSE(has_subfolder(dir / "files"));
  EXPECT_FALSE(has_subfolder(dir / "linked"));
  EXPECT_FALSE(has_subfolder(dir / "missing"));
}

TEST(FileHelpers, CopyFileHonoursFailIfExists) {
  TempDir dir;
  write_file(dir / "font.ttf", "font");
  write_file(dir / "bin_font.ttf", "older");
  EXPECT_FALSE(copy_file(dir / "font.ttf", dir / "bin_font.ttf", true));
  EXPECT_EQ(read_file(dir / "bin_font.ttf"), "older");
  EXPECT_TRUE(copy_file(dir / "font.ttf", dir / "bin_font.ttf", false));
  EXPECT_EQ(read_file(dir / "bin_font.ttf"), "font");
  EXPECT_TRUE(copy_file(dir / "font.ttf", dir / "new.ttf", true));
  EXPECT_EQ(read_file(dir / "new.ttf"), "font");
  EXPECT_FALSE(copy_file(dir / "missing", dir / "x", false));
}

TEST(FileHelpers, ValidFolderPaths) {
  struct Case {
    const char* path;
    bool valid;
  };
  const Case cases[] = {
      {"/tmp", true},  {"/tmp/", true},   {"/a/b/v_temp1/", true}, {"//tmp//x", true}, {"/", false},
      {"//", false},   {"///", false},    {"/./", false},          {"/tmp/..", false}, {"/a/../..", false},
      {"", false},     {"tmp", false},    {"./tmp", false},        {"C:/", false},     {"~/x", false},
  };
  for (const auto& c : cases) EXPECT_EQ(is_valid_folder_path(c.path), c.valid) << c.path;
}

TEST(FileHelpers, ClearFolderFilesTrashesOnlyTheFiles) {
  TempDir dir;
  const std::string work = dir / "v_temp1";
  fs::create_directories(work + "/sub");
  write_file(work + "/1.mkv", "one");
  write_file(work + "/filelist.txt", "list");
  write_file(work + "/sub/inner.mkv", "inner");
  write_file(dir / "elsewhere.txt", "kept");
  fs::create_symlink(dir / "elsewhere.txt", work + "/file_link");
  fs::create_symlink(dir.path(), work + "/folder_link");

  clear_folder_files(work);

  EXPECT_FALSE(fs::exists(work + "/1.mkv"));
  EXPECT_FALSE(fs::exists(work + "/filelist.txt"));
  EXPECT_FALSE(fs::is_symlink(work + "/file_link"));  // the link went, not its target
  EXPECT_EQ(read_file(dir / "elsewhere.txt"), "kept");
  EXPECT_TRUE(fs::is_symlink(work + "/folder_link"));
  EXPECT_EQ(read_file(work + "/sub/inner.mkv"), "inner");
  EXPECT_EQ(read_file(trash_files() + "1.mkv"), "one");
  EXPECT_EQ(read_file(trash_files() + "filelist.txt"), "list");
}

TEST(FileHelpers, ClearFolderFilesRefusesRootRelativeAndMissingFolders) {
  TempDir dir;
  // Refused spellings of the root folder: checked first, so a fault here can never
  // reach the real root folder.
  for (const char* root : {"/", "//", "///", "/./", "/tmp/.."}) {
    ASSERT_FALSE(is_valid_folder_path(root)) << root;
    clear_folder_files(root);
  }
  // A relative path is refused even when it names a folder with files.
  fs::create_directories(dir / "rel");
  write_file(dir / "rel/keep.mkv", "keep");
  const auto saved_cwd = fs::current_path();
  fs::current_path(dir.path());
  clear_folder_files("rel");
  clear_folder_files("rel/");
  clear_folder_files("./rel");
  fs::current_path(saved_cwd);
  EXPECT_EQ(read_file(dir / "rel/keep.mkv"), "keep");
  // A file or a missing folder: nothing happens.
  clear_folder_files(dir / "rel/keep.mkv");
  clear_folder_files(dir / "missing");
  EXPECT_EQ(read_file(dir / "rel/keep.mkv"), "keep");
}

TEST(FileHelpers, EnumerateFilesListsFilesOnlyAndClearsTheList) {
  TempDir dir;
  write_file(dir / "a.mp4", "");
  write_file(dir / "B.MP4", "");
  write_file(dir / "c.txt", "");
  write_file(dir / "noext", "");
  fs::create_directories(dir / "folder.mp4");
  fs::create_symlink(dir / "folder.mp4", dir / "folder_link.mp4");
  fs::create_symlink(dir / "a.mp4", dir / "file_link.mp4");

  std::vector<std::string> list{"old"};
  EXPECT_EQ(enumerate_files(dir.path(), "*.*", list), 5);
  std::vector<std::string> expected;
  for (const auto& e : fs::directory_iterator(dir.path())) {
    if (!e.is_directory()) expected.push_back(e.path().string());
  }
  EXPECT_EQ(list, expected);  // file-system order, folder + "/" + name

  EXPECT_EQ(enumerate_files(dir / "", "*.mp4", list), 3);  // a.mp4, B.MP4, file_link.mp4
  for (const auto& path : list) EXPECT_EQ(parent_folder(path), dir / "");
  EXPECT_EQ(enumerate_files(dir / "missing", "*.*", list), 0);
  EXPECT_TRUE(list.empty());
}

TEST(FileHelpers, DeleteFileViaShellMovesToTheTrash) {
  TempDir dir;
  write_file(dir / "gone.mp4", "bytes");
  EXPECT_TRUE(delete_file_via_shell(dir / "gone.mp4"));
  EXPECT_FALSE(fs::exists(dir / "gone.mp4"));
  EXPECT_EQ(read_file(trash_files() + "gone.mp4"), "bytes");
  EXPECT_FALSE(delete_file_via_shell(dir / "gone.mp4"));
  EXPECT_FALSE(delete_file_via_shell(""));
}

TEST(FileHelpers, FolderWalksProcessPendingEventsOnTheUiThread) {
  TempDir dir;
  for (const char* f : {"a", "b", "c"}) fs::create_directories(dir / f);
  for (const char* f : {"1", "2"}) write_file(dir / f, "");
  int pumped = 0;
  set_ui_event_pump([&] { ++pumped; });
  std::vector<std::string> list;
  list_subfolders(dir.path(), list);
  EXPECT_EQ(pumped, 5);  // after every entry, folder or not
  pumped = 0;
  enumerate_files(dir.path(), "*.*", list);
  EXPECT_EQ(pumped, 2);  // after every listed file
  pumped = 0;
  pump_messages();
  EXPECT_EQ(pumped, 1);
  set_ui_event_pump({});
}

TEST(FileHelpers, GetFileSize) {
  TempDir dir;
  write_file(dir / "nine.bin", "123456789");
  EXPECT_EQ(get_file_size(dir / "nine.bin"), 9);
  write_file(dir / "empty", "");
  EXPECT_EQ(get_file_size(dir / "empty"), 0);
  EXPECT_EQ(get_file_size(dir / "missing"), 4294967295);
  EXPECT_EQ(get_file_size(dir / "missing"), file_size_query_failed);

  const std::string sparse = dir / "five_gb.mkv";
  write_file(sparse, "");
  const std::int64_t five_gb = 5368709120;
  ASSERT_EQ(::truncate(sparse.c_str(), five_gb), 0);
  EXPECT_EQ(get_file_size(sparse), five_gb);
}

TEST(FileHelpers, DeleteFile) {
  TempDir dir;
  write_file(dir / "a.mp4", "x");
  write_file(dir / "target", "kept");
  fs::create_symlink(dir / "target", dir / "link");
  fs::create_directory(dir / "folder");
  EXPECT_TRUE(delete_file(dir / "a.mp4"));
  EXPECT_FALSE(fs::exists(dir / "a.mp4"));
  EXPECT_FALSE(delete_file(dir / "a.mp4"));  // missing: nothing happens
  EXPECT_TRUE(delete_file(dir / "link"));
  EXPECT_TRUE(fs::exists(dir / "target"));
  EXPECT_FALSE(delete_file(dir / "folder"));
  EXPECT_TRUE(fs::is_directory(dir / "folder"));
}
