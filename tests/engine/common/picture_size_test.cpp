#include "engine/common/picture_size.h"

#include <gtest/gtest.h>

#include "tests/support/test_env.h"

using test_env::read_file;
using test_env::TempDir;
using test_env::write_file;

namespace {

// A one-frame picture of `size` made by the converter at `path`; its bytes.
std::string converter_picture(const std::string& path, const std::string& size) {
  if (!test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=" + size, "-frames:v", "1", path})) return {};
  return read_file(path);
}

}  // namespace

TEST(PictureSize, PictureBytesGiveTheirSizes) {
  TempDir dir;
  struct Case {
    std::string file, size;
    int width, height;
  };
  const Case cases[] = {
      {"w.png", "200x80", 200, 80}, {"w.jpg", "320x240", 320, 240}, {"w.gif", "64x48", 64, 48},
      {"w.bmp", "30x20", 30, 20},   {"dot.png", "1x1", 1, 1},       {"dot.jpg", "1x1", 1, 1},
  };
  for (const auto& c : cases) {
    const std::string bytes = converter_picture(dir / c.file, c.size);
    ASSERT_FALSE(bytes.empty()) << c.file;
    EXPECT_EQ(image_width(bytes), c.width) << c.file;
    EXPECT_EQ(image_height(bytes), c.height) << c.file;
  }
}

TEST(PictureSize, NoPictureGivesZero) {
  TempDir dir;
  const std::string png = converter_picture(dir / "w.png", "200x80");
  const std::string jpg = converter_picture(dir / "w.jpg", "200x80");
  const std::string inputs[] = {
      "",
      "just some text\r\n",
      png.substr(0, png.size() / 2),
      jpg.substr(0, jpg.size() - 40),
      std::string(1000, '\0'),
  };
  for (const auto& bytes : inputs) {
    EXPECT_EQ(image_width(bytes), 0) << bytes.size();
    EXPECT_EQ(image_height(bytes), 0) << bytes.size();
  }
}

TEST(PictureSize, BytesThatNameAFileMeasureThatFile) {
  TempDir dir;
  converter_picture(dir / "named.png", "48x36");
  // The path, then a zero byte and anything after it.
  const std::string source = dir / "named.png" + std::string(1, '\0') + "rest";
  EXPECT_EQ(image_width(source), 48);
  EXPECT_EQ(image_height(source), 36);
  write_file(dir / "notes.txt", "no picture");
  EXPECT_EQ(image_width(dir / "notes.txt"), 0);
  EXPECT_EQ(image_width(dir.path()), 0);  // a folder exists but holds no bytes

  EXPECT_TRUE(path_file_exists(dir / "named.png"));
  EXPECT_TRUE(path_file_exists(dir.path()));
  EXPECT_FALSE(path_file_exists(dir / "missing.png"));
  EXPECT_FALSE(path_file_exists(""));
}
