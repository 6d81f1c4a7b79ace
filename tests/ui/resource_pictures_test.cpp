#include "ui/resource_paths.h"

#include <gtest/gtest.h>
#include <png.h>

#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/test_env.h"

namespace {

std::string source_file(const std::string& relative) { return test_env::read_file(QF_SOURCE_DIR "/" + relative); }

struct Rgba {
  int width = 0, height = 0;
  std::vector<std::uint8_t> pixels;  // 4 bytes a pixel
  std::uint8_t alpha(int x, int y) const { return pixels[(static_cast<size_t>(y) * width + x) * 4 + 3]; }
};

Rgba decode_png(const std::string& bytes) {
  Rgba picture;
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return picture;
  image.format = PNG_FORMAT_RGBA;
  std::vector<std::uint8_t> pixels(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, pixels.data(), 0, nullptr)) return picture;
  picture.width = static_cast<int>(image.width);
  picture.height = static_cast<int>(image.height);
  picture.pixels = std::move(pixels);
  return picture;
}

unsigned le16(const std::string& b, size_t at) {
  return static_cast<unsigned char>(b[at]) | static_cast<unsigned char>(b[at + 1]) << 8;
}
std::uint32_t le32(const std::string& b, size_t at) { return le16(b, at) | le16(b, at + 2) << 16; }

}  // namespace

TEST(ResourcePictures, EveryPictureIsInTheSourceTreeAndCopiedIntoTheRunFolder) {
  for (const char* path : resource_picture_paths) {
    const std::string source = source_file(path);
    EXPECT_FALSE(source.empty()) << path;
    EXPECT_EQ(test_env::read_file(QF_BINARY_DIR "/run/" + std::string(path)), source) << path;
  }
}

// Pictures sit on buttons of any colour: transparent corners, a solid drawing.
TEST(ResourcePictures, PngPicturesHaveTheirSizesAndATransparentBackground) {
  const std::pair<const char*, int> pictures[] = {
      {stop_picture_path, 32},         {convert_idle_picture_path, 32},  {merge_idle_picture_path, 32},
      {edit_idle_picture_path, 32},    {reverse_text_picture_path, 16},  {convert_page_picture_path, 48},
      {merge_page_picture_path, 48},   {edit_page_picture_path, 48},     {program_icon_png_paths[0], 16},
      {program_icon_png_paths[1], 32}, {program_icon_png_paths[2], 48}, {program_icon_png_paths[3], 64}};
  for (const auto& [path, size] : pictures) {
    const Rgba picture = decode_png(source_file(path));
    ASSERT_EQ(picture.width, size) << path;
    ASSERT_EQ(picture.height, size) << path;
    const int last = size - 1;
    for (const auto& [x, y] : {std::pair{0, 0}, {last, 0}, {0, last}, {last, last}})
      EXPECT_EQ(picture.alpha(x, y), 0) << path << " corner " << x << "," << y;
    int solid = 0;
    for (int y = 0; y < size; ++y)
      for (int x = 0; x < size; ++x) solid += picture.alpha(x, y) > 128;
    EXPECT_GE(solid * 100, size * size * 15) << path << " is mostly empty";
  }
}

// The mosaic editor's box: an opaque white field with dark text in its middle third.
TEST(ResourcePictures, MosaicBoxIsAWhiteFieldWithItsText) {
  const Rgba picture = decode_png(source_file(mosaic_box_picture_path));
  ASSERT_EQ(picture.width, 400);
  ASSERT_EQ(picture.height, 200);
  const auto red = [&](int x, int y) { return picture.pixels[(static_cast<size_t>(y) * picture.width + x) * 4]; };
  EXPECT_EQ(red(0, 0), 255);
  EXPECT_EQ(picture.alpha(0, 0), 255);
  int dark = 0, dark_outside = 0;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x)
      if (red(x, y) < 64) (y > 60 && y < 140 ? dark : dark_outside) += 1;
  EXPECT_GT(dark, 1000);
  EXPECT_EQ(dark_outside, 0);
}

TEST(ResourcePictures, ProgramIconFileHoldsTheFourSizes) {
  const std::string ico = source_file(program_icon_path);
  ASSERT_GE(ico.size(), 6u + 4 * 16);
  EXPECT_EQ(le16(ico, 0), 0u);
  EXPECT_EQ(le16(ico, 2), 1u);  // an icon, not a cursor
  ASSERT_EQ(le16(ico, 4), 4u);
  const unsigned sizes[] = {16, 32, 48, 64};
  for (int i = 0; i < 4; ++i) {
    const size_t entry = 6 + 16 * i;
    EXPECT_EQ(static_cast<unsigned char>(ico[entry]), sizes[i]);
    EXPECT_EQ(static_cast<unsigned char>(ico[entry + 1]), sizes[i]);
    EXPECT_EQ(le16(ico, entry + 6), 32u);  // bits per pixel
    const std::uint32_t length = le32(ico, entry + 8), offset = le32(ico, entry + 12);
    ASSERT_LE(std::uint64_t{offset} + length, ico.size());
    // A 32-bit DIB: header size 40, width, twice the height (image and mask), 32 bits.
    EXPECT_EQ(le32(ico, offset), 40u);
    EXPECT_EQ(le32(ico, offset + 4), sizes[i]);
    EXPECT_EQ(le32(ico, offset + 8), 2 * sizes[i]);
    EXPECT_EQ(le16(ico, offset + 14), 32u);
    const std::uint32_t mask_row = (sizes[i] + 31) / 32 * 4;
    EXPECT_EQ(length, 40 + sizes[i] * sizes[i] * 4 + mask_row * sizes[i]);
  }
}

TEST(ResourcePictures, SplashBusyPictureIsALoopingAnimation) {
  const std::string gif = source_file(init_splash_busy_picture_path);
  ASSERT_GE(gif.size(), 13u);
  EXPECT_EQ(gif.substr(0, 6), "GIF89a");
  EXPECT_EQ(le16(gif, 6), 300u);
  EXPECT_EQ(le16(gif, 8), 300u);
  EXPECT_NE(gif.find("NETSCAPE2.0"), std::string::npos);
  // Walk the blocks and count the frames.
  size_t at = 13;
  const auto flags = static_cast<unsigned char>(gif[10]);
  if (flags & 0x80) at += 3u << ((flags & 7) + 1);
  const auto skip_sub_blocks = [&] {
    while (at < gif.size() && gif[at] != 0) at += static_cast<unsigned char>(gif[at]) + 1;
    ++at;
  };
  int frames = 0;
  bool ended = false;
  while (at < gif.size() && !ended) {
    const auto block = static_cast<unsigned char>(gif[at]);
    if (block == 0x21) {
      at += 2;
      skip_sub_blocks();
    } else if (block == 0x2C) {
      ++frames;
      const auto local = static_cast<unsigned char>(gif[at + 9]);
      at += 10;
      if (local & 0x80) at += 3u << ((local & 7) + 1);
      ++at;  // LZW code size
      skip_sub_blocks();
    } else {
      ended = block == 0x3B;
      ASSERT_TRUE(ended) << "unknown block at " << at;
    }
  }
  EXPECT_TRUE(ended);
  EXPECT_GE(frames, 8);
}
