#include "platform/fonts.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <set>

#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";
const std::string wqy_microhei = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc";

}  // namespace

TEST(Fonts, FaceNamesOfFontFilesUnderAnyName) {
  TempDir dir;
  fs::copy_file(dejavu + "DejaVuSans.ttf", dir / "a.ttf");
  fs::copy_file(dejavu + "DejaVuSerif-Bold.ttf", dir / "b.TTF");
  fs::copy_file(dejavu + "DejaVuSans-ExtraLight.ttf", dir / "no_extension");
  fs::copy_file(wqy_microhei, dir / "微米黑.ttc");
  fs::create_symlink(dir / "a.ttf", dir / "link.ttf");
  struct Case {
    std::string file;
    std::string face;
  };
  const Case cases[] = {
      {"a.ttf", "DejaVu Sans"},
      {"b.TTF", "DejaVu Serif"},  // the family, not the style
      // The family of the font's own name table, as the system lists it, not the wider
      // typographic family FreeType reports ("DejaVu Sans").
      {"no_extension", "DejaVu Sans Light"},
      // Simplified Chinese before the traditional "文泉驛微米黑" and the English name.
      {"微米黑.ttc", "文泉驿微米黑"},
      {"link.ttf", "DejaVu Sans"},
  };
  for (const auto& c : cases) EXPECT_EQ(font_face_name(dir / c.file), c.face) << c.file;
}

TEST(Fonts, FilesThatAreNoFontsHaveNoFaceName) {
  TempDir dir;
  write_file(dir / "desktop.ini", "[.ShellClassInfo]\r\nLocalizedResourceName=Fonts\r\n");
  write_file(dir / "empty.ttf", "");
  write_file(dir / "cut.ttf", read_file(dejavu + "DejaVuSans.ttf").substr(0, 200));
  std::string noise;
  for (int i = 0; i < 5000; ++i) noise.push_back(static_cast<char>((i * 7919 + 13) % 256));
  write_file(dir / "noise.ttf", noise);
  fs::create_directory(dir / "folder.ttf");
  fs::create_symlink(dir / "gone.ttf", dir / "dangling.ttf");
  ASSERT_EQ(::mkfifo((dir / "pipe.ttf").c_str(), 0600), 0);
  for (const char* name :
       {"desktop.ini", "empty.ttf", "cut.ttf", "noise.ttf", "folder.ttf", "dangling.ttf", "pipe.ttf", "missing"}) {
    EXPECT_EQ(font_face_name(dir / name), "") << name;
  }
  EXPECT_EQ(font_face_name(""), "");
}

TEST(Fonts, LinkNamesKeepTheFileNameAndNeverRepeat) {
  const auto links = font_link_names({"/a/x.ttf", "/b/x.ttf", "/c/x-2.ttf", "/d/x.ttf", "/e/.hidden", "/f/.hidden",
                                      "/g/noext", "/h/noext", "/i/y.tar.gz", "/j/y.tar.gz"});
  const std::vector<std::pair<std::string, std::string>> expected = {
      {"x.ttf", "/a/x.ttf"},       {"x-2.ttf", "/b/x.ttf"},         {"x-2-2.ttf", "/c/x-2.ttf"},
      {"x-3.ttf", "/d/x.ttf"},     {".hidden", "/e/.hidden"},       {".hidden-2", "/f/.hidden"},
      {"noext", "/g/noext"},       {"noext-2", "/h/noext"},         {"y.tar.gz", "/i/y.tar.gz"},
      {"y.tar-2.gz", "/j/y.tar.gz"},
  };
  EXPECT_EQ(links, expected);
}

TEST(Fonts, LinkFolderHoldsEveryFontconfigFileAndTidiesUp) {
  TempDir dir;
  const std::string folder = dir / "fonts";
  fs::create_directories(folder);
  fs::create_symlink("/nowhere/old.ttf", folder + "/old.ttf");     // a font that went away
  fs::create_symlink(wqy_microhei, folder + "/DejaVuSans.ttf");     // a name now given to another file
  write_file(folder + "/notes.txt", "not ours");                    // not a link: left alone

  ASSERT_TRUE(update_font_link_folder(folder));

  // What fontconfig itself lists.
  const auto listed = test_env::run_program({"fc-list", "--format", "%{file}\n"});
  ASSERT_EQ(listed.exit_code, 0);
  std::set<std::string> fontconfig_files;
  for (size_t start = 0, end; (end = listed.output.find('\n', start)) != std::string::npos; start = end + 1) {
    fontconfig_files.insert(listed.output.substr(start, end - start));
  }
  ASSERT_TRUE(fontconfig_files.count(dejavu + "DejaVuSans.ttf"));

  std::set<std::string> targets;
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(folder)) {
    const std::string name = entry.path().filename().string();
    names.insert(name);
    if (name == "notes.txt") continue;
    ASSERT_TRUE(entry.is_symlink()) << name;
    const std::string target = fs::read_symlink(entry.path()).string();
    EXPECT_TRUE(fs::is_regular_file(target)) << name;
    EXPECT_TRUE(targets.insert(target).second) << "two links to " << target;
  }
  EXPECT_EQ(targets, fontconfig_files);
  EXPECT_FALSE(names.count("old.ttf"));
  EXPECT_TRUE(names.count("notes.txt"));
  EXPECT_EQ(fs::read_symlink(folder + "/DejaVuSans.ttf").string(), dejavu + "DejaVuSans.ttf");
  EXPECT_EQ(fs::read_symlink(folder + "/wqy-microhei.ttc").string(), wqy_microhei);
  EXPECT_EQ(font_face_name(folder + "/wqy-microhei.ttc"), "文泉驿微米黑");

  // A second update changes nothing.
  ASSERT_TRUE(update_font_link_folder(folder));
  std::set<std::string> again;
  for (const auto& entry : fs::directory_iterator(folder)) again.insert(entry.path().filename().string());
  EXPECT_EQ(again, names);
}

TEST(Fonts, FolderFromTheVariableOrBuiltInTheCache) {
  TempDir dir;
  {
    const test_env::ScopedEnvironmentVariable chosen(fonts_folder_variable, (dir.path() + "//").c_str());
    EXPECT_EQ(fonts_folder(), dir.path());
  }
  {
    const test_env::ScopedEnvironmentVariable unset(fonts_folder_variable, nullptr);
    const std::string folder = fonts_folder();
    // The test main points XDG_CACHE_HOME into a temporary home.
    EXPECT_EQ(folder, std::string(std::getenv("XDG_CACHE_HOME")) + "/videotool/fonts");
    EXPECT_EQ(font_face_name(folder + "/DejaVuSans.ttf"), "DejaVu Sans");
    EXPECT_EQ(fonts_folder(), folder);
  }
  {
    const test_env::ScopedEnvironmentVariable empty(fonts_folder_variable, "");
    EXPECT_NE(fonts_folder(), dir.path());
  }
}

TEST(Fonts, AFontCoversATextWhenItHasEveryCharacterOfIt) {
  const TempDir dir;
  write_file(dir / "not a font.ttf", "no font");
  struct Case {
    std::string font, text;
    bool covers;
  };
  for (const Case& c : {Case{dejavu + "DejaVuSans.ttf", "Subtitle 42 ÄÖü", true},
                        Case{dejavu + "DejaVuSans.ttf", "字幕", false},
                        Case{dejavu + "DejaVuSans.ttf", "Subtitle 字", false},
                        Case{wqy_microhei, "中文字幕 Subtitle 42", true},
                        Case{wqy_microhei, "", true},
                        // Control characters are not drawn.
                        Case{dejavu + "DejaVuSans.ttf", "a\tb\r\n", true},
                        // Not UTF-8.
                        Case{wqy_microhei, "\xd6\xd0\xce\xc4", false},
                        Case{dir / "not a font.ttf", "a", false},
                        Case{dir / "missing.ttf", "a", false},
                        Case{dir.path(), "a", false}}) {
    EXPECT_EQ(font_covers_text(c.font, c.text), c.covers) << c.font << " " << c.text;
  }
}

TEST(Fonts, AnInstalledFontIsFoundForATextWhenOneCoversIt) {
  // The install script brings a Chinese font.
  const std::string chinese = installed_font_covering_text("中文字幕 Subtitle 42");
  EXPECT_TRUE(font_covers_text(chinese, "中文字幕 Subtitle 42")) << chinese;
  const std::string latin = installed_font_covering_text("Subtitle 42");
  EXPECT_TRUE(font_covers_text(latin, "Subtitle 42")) << latin;
  // A character no installed font has (a private-use one), and a text that is no UTF-8.
  EXPECT_EQ(installed_font_covering_text("字\xf4\x8f\xbf\xbd"), "");
  EXPECT_EQ(installed_font_covering_text("\xd6\xd0\xce\xc4"), "");
}
