#include "engine/common/system_info.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/fonts.h"
#include "tests/support/test_env.h"

namespace fs = std::filesystem;
using test_env::ScopedEnvironmentVariable;
using test_env::TempDir;

namespace {

const std::string dejavu = "/usr/share/fonts/truetype/dejavu/";

}  // namespace

TEST(SystemInfo, VersionNameEndsWithTheBitness) {
  const std::string name = windows_version_name();
  EXPECT_TRUE(name.starts_with("Linux ")) << name;
  // This machine is 64-bit; the converter check looks for exactly this.
  EXPECT_TRUE(name.ends_with(" x64")) << name;
  EXPECT_EQ(name.find(" x86"), std::string::npos);
}

TEST(SystemInfo, FontsIsTheOnlySpecialFolder) {
  TempDir fonts;
  {
    const ScopedEnvironmentVariable chosen(fonts_folder_variable, fonts.path().c_str());
    EXPECT_EQ(special_folder_path(special_folder_fonts), fonts.path() + "/");
    for (const int other : {0, 5, 0x14, -1}) EXPECT_EQ(special_folder_path(other), "") << other;
  }
  const ScopedEnvironmentVariable unset(fonts_folder_variable, nullptr);
  const std::string built = special_folder_path(special_folder_fonts);
  EXPECT_TRUE(built.ends_with("/videotool/fonts/")) << built;
  EXPECT_TRUE(fs::exists(built + "DejaVuSans.ttf"));
}

TEST(SystemInfo, FaceNameOfABareNameIsLookedUpInTheFontsFolder) {
  TempDir fonts, elsewhere, current;
  fs::copy_file(dejavu + "DejaVuSerif.ttf", fonts / "serif.ttf");
  fs::copy_file(dejavu + "DejaVuSansMono.ttf", elsewhere / "mono.ttf");
  // The same name in the current folder as in the fonts folder, holding another font.
  fs::copy_file(dejavu + "DejaVuSans.ttf", current / "serif.ttf");
  const ScopedEnvironmentVariable chosen(fonts_folder_variable, fonts.path().c_str());

  {
    const test_env::ScopedCurrentFolder in(elsewhere.path());
    std::string path = "serif.ttf";
    EXPECT_EQ(font_face_name_from_file(path), "DejaVu Serif");
    EXPECT_EQ(path, fonts / "serif.ttf");

    path = "missing.ttf";
    EXPECT_EQ(font_face_name_from_file(path), "");
    EXPECT_EQ(path, fonts / "missing.ttf");

    path = "mono.ttf";  // found as it is, from the current folder
    EXPECT_EQ(font_face_name_from_file(path), "DejaVu Sans Mono");
    EXPECT_EQ(path, "mono.ttf");
  }
  {
    const test_env::ScopedCurrentFolder in(current.path());
    std::string path = "serif.ttf";
    EXPECT_EQ(font_face_name_from_file(path), "DejaVu Sans");
    EXPECT_EQ(path, "serif.ttf");
  }

  std::string full = elsewhere / "mono.ttf";
  EXPECT_EQ(font_face_name_from_file(full), "DejaVu Sans Mono");
  EXPECT_EQ(full, elsewhere / "mono.ttf");

  std::string gone = elsewhere / "gone.ttf";  // a missing full path stays as it is
  EXPECT_EQ(font_face_name_from_file(gone), "");
  EXPECT_EQ(gone, elsewhere / "gone.ttf");
}
