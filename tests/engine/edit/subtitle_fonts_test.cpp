#include "engine/edit/subtitle_fonts.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fonts.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::ScopedEnvironmentVariable;
using test_env::TempDir;

namespace {

const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";

std::vector<std::string> item_texts(const std::vector<SubtitleFont>& fonts) {
  std::vector<std::string> texts;
  for (const auto& f : fonts) texts.push_back(f.item_text);
  return texts;
}

std::vector<std::string> file_names(const std::vector<SubtitleFont>& fonts) {
  std::vector<std::string> names;
  for (const auto& f : fonts) names.push_back(f.file_name);
  return names;
}

}  // namespace

TEST(SubtitleFonts, ListHoldsReadableFontsInNameOrder) {
  TempDir fonts, elsewhere;
  fs::copy_file(dejavu + "DejaVuSans.ttf", fonts / "a.ttf");
  test_env::write_file(fonts / "desktop.ini", "[.ShellClassInfo]\r\n");
  fs::copy_file(dejavu + "DejaVuSerif.ttf", fonts / "B.ttf");
  fs::copy_file(dejavu + "DejaVuSans-Bold.ttf", fonts / "c.bold.ttf");  // same face as a.ttf
  fs::copy_file("/usr/share/fonts/truetype/wqy/wqy-microhei.ttc", fonts / "微米黑.ttc");
  fs::copy_file(dejavu + "DejaVuSansMono.ttf", elsewhere / "mono.ttf");
  fs::create_symlink(elsewhere / "mono.ttf", fonts / "d.ttf");
  fs::create_directory(fonts / "folder.ttf");
  fs::create_symlink(elsewhere.path(), fonts / "e_folder_link");
  const ScopedEnvironmentVariable chosen(fonts_folder_variable, fonts.path().c_str());
  // A file of the same name in the current folder is not read in place of the font.
  fs::copy_file(dejavu + "DejaVuSansMono.ttf", elsewhere / "a.ttf");
  const test_env::ScopedCurrentFolder in(elsewhere.path());

  const auto list = list_subtitle_fonts();
  EXPECT_EQ(item_texts(list), (std::vector<std::string>{"DejaVu Sans(a)", "DejaVu Serif(B)", "DejaVu Sans(c.bold)",
                                                         "DejaVu Sans Mono(d)", "文泉驿微米黑(微米黑)"}));
  EXPECT_EQ(file_names(list), (std::vector<std::string>{"a.ttf", "B.ttf", "c.bold.ttf", "d.ttf", "微米黑.ttc"}));
}

TEST(SubtitleFonts, EmptyOrMissingFontsFolderGivesNoEntries) {
  TempDir fonts;
  test_env::write_file(fonts / "readme.txt", "no fonts here");
  {
    const ScopedEnvironmentVariable chosen(fonts_folder_variable, fonts.path().c_str());
    EXPECT_TRUE(list_subtitle_fonts().empty());
  }
  const ScopedEnvironmentVariable gone(fonts_folder_variable, (fonts / "missing").c_str());
  EXPECT_TRUE(list_subtitle_fonts().empty());
}

TEST(SubtitleFonts, RememberedNameSelectsTheFirstItemItBegins) {
  const std::vector<SubtitleFont> fonts = {
      {"DejaVu Sans(a)", "a.ttf"}, {"黑体(simhei)", "simhei.ttf"}, {"DejaVu Sans(b)", "b.ttf"}, {"黑体(simhei2)", "x.ttf"}};
  struct Case {
    std::string remembered;
    int index;
  };
  const Case cases[] = {
      {"黑体", 1},               // the first start's default
      {"DejaVu Sans(b)", 2},     // a saved item text selects that very item
      {"dejavu sans(B)", 2},     // ASCII letters in any case
      {"黑体(simhei2)", 3},
      {"Arial(arial)", 0},       // no longer installed
      {"", 0},
  };
  for (const auto& c : cases) EXPECT_EQ(subtitle_font_index(fonts, c.remembered), c.index) << c.remembered;
  EXPECT_EQ(subtitle_font_index({}, "黑体"), -1);
}
