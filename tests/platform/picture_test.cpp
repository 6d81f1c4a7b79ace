#include "platform/picture.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <array>
#include <cstdio>
#include <random>

#include <jpeglib.h>
#include <png.h>

#include "tests/support/test_env.h"

using test_env::TempDir;

namespace {

using Rgba = std::array<int, 4>;

Rgba pixel(const Picture& picture, int x, int y) {
  const auto* p = &picture.rgba[(static_cast<size_t>(y) * picture.width + x) * 4];
  return {p[0], p[1], p[2], p[3]};
}

bool near(const Rgba& a, const Rgba& b, int tolerance) {
  for (int i = 0; i < 4; ++i) {
    if (std::abs(a[i] - b[i]) > tolerance) return false;
  }
  return true;
}

std::string describe(const Rgba& c) {
  return "(" + std::to_string(c[0]) + "," + std::to_string(c[1]) + "," + std::to_string(c[2]) + "," +
         std::to_string(c[3]) + ")";
}

// A 20 × 12 picture made by the converter: the top half red at half opacity, the bottom
// half opaque blue, stored as `file` in `pixel_format`.
std::string converter_picture(const TempDir& dir, const std::string& file, const std::string& pixel_format) {
  const std::string path = dir / file;
  const bool made = test_env::make_clip(
      {"-f", "lavfi", "-i",
       "color=c=red@0.5:size=20x6,format=rgba[a];color=c=blue:size=20x6,format=rgba[b];[a][b]vstack", "-frames:v",
       "1", "-pix_fmt", pixel_format, path});
  return made ? test_env::read_file(path) : std::string();
}

// A PNG written with libpng from 8-bit rows of `channels` samples (palette indexes are
// one sample, packed to `bit_depth`).
std::string libpng_picture(int width, int height, int color_type, int bit_depth, int interlace,
                           const std::vector<std::vector<png_byte>>& rows, const std::vector<png_color>& palette = {},
                           const std::vector<png_byte>& alphas = {}) {
  std::string out;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
  png_infop info = png_create_info_struct(png);
  png_set_write_fn(
      png, &out,
      [](png_structp p, png_bytep data, size_t length) {
        static_cast<std::string*>(png_get_io_ptr(p))->append(reinterpret_cast<const char*>(data), length);
      },
      nullptr);
  png_set_IHDR(png, info, width, height, bit_depth, color_type, interlace, PNG_COMPRESSION_TYPE_DEFAULT,
               PNG_FILTER_TYPE_DEFAULT);
  if (!palette.empty()) png_set_PLTE(png, info, palette.data(), static_cast<int>(palette.size()));
  if (!alphas.empty()) png_set_tRNS(png, info, alphas.data(), static_cast<int>(alphas.size()), nullptr);
  png_write_info(png, info);
  if (bit_depth < 8) png_set_packing(png);
  std::vector<png_bytep> pointers;
  for (const auto& row : rows) pointers.push_back(const_cast<png_bytep>(row.data()));
  png_write_image(png, pointers.data());
  png_write_end(png, info);
  png_destroy_write_struct(&png, &info);
  return out;
}

// A JPEG written with libjpeg: every pixel the given samples (1 for grey, 4 for CMYK,
// the latter stored inverted with an Adobe marker as image editors write it).
std::string libjpeg_picture(int width, int height, J_COLOR_SPACE space, std::vector<JSAMPLE> samples) {
  jpeg_compress_struct info;
  jpeg_error_mgr errors;
  info.err = jpeg_std_error(&errors);
  jpeg_create_compress(&info);
  unsigned char* buffer = nullptr;
  unsigned long size = 0;
  jpeg_mem_dest(&info, &buffer, &size);
  info.image_width = width;
  info.image_height = height;
  info.input_components = static_cast<int>(samples.size());
  info.in_color_space = space;
  jpeg_set_defaults(&info);
  jpeg_set_quality(&info, 95, TRUE);
  jpeg_start_compress(&info, TRUE);
  std::vector<JSAMPLE> row;
  for (int x = 0; x < width; ++x) row.insert(row.end(), samples.begin(), samples.end());
  while (info.next_scanline < info.image_height) {
    JSAMPROW pointer = row.data();
    jpeg_write_scanlines(&info, &pointer, 1);
  }
  jpeg_finish_compress(&info);
  jpeg_destroy_compress(&info);
  std::string out(reinterpret_cast<const char*>(buffer), size);
  std::free(buffer);
  return out;
}

// The PNG `bytes` with another width and height in its header chunk, whose check sum
// is recomputed so that only the size is wrong.
std::string patch_png_header(std::string bytes, uint32_t width, uint32_t height) {
  auto put = [&](size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, width);  // IHDR data starts at 16 (signature 8, length 4, type 4)
  put(20, height);
  const uLong crc = crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + 12), 4 + 13);
  put(29, static_cast<uint32_t>(crc));
  return bytes;
}

}  // namespace

TEST(Picture, ConverterPicturesDecodeWithSizeAndColours) {
  TempDir dir;
  const Rgba red{255, 0, 0, 255}, blue{0, 0, 255, 255}, half_red{255, 0, 0, 128};
  const Rgba grey_red{76, 76, 76, 255}, grey_blue{29, 29, 29, 255}, half_grey_red{76, 76, 76, 128};
  struct Case {
    std::string file, pixel_format;
    Rgba top, bottom;
    int tolerance;
  };
  const Case cases[] = {
      {"rgb.png", "rgb24", red, blue, 0},
      {"alpha.png", "rgba", half_red, blue, 1},
      {"grey.png", "gray", grey_red, grey_blue, 1},
      {"grey_alpha.png", "ya8", half_grey_red, grey_blue, 1},
      {"deep.png", "rgb48be", red, blue, 1},
      {"deep_grey.png", "gray16be", grey_red, grey_blue, 1},
      {"palette.png", "pal8", red, blue, 4},
      {"x.jpg", "yuvj420p", red, blue, 6},
      {"full.jpg", "yuvj444p", red, blue, 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const std::string bytes = converter_picture(dir, c.file, c.pixel_format);
    ASSERT_FALSE(bytes.empty());
    const auto picture = decode_picture(bytes);
    ASSERT_TRUE(picture.has_value());
    EXPECT_EQ(picture->width, 20);
    EXPECT_EQ(picture->height, 12);
    ASSERT_EQ(picture->rgba.size(), 20u * 12 * 4);
    // One pixel in each half; swapped rows or a wrong stride would show here.
    EXPECT_TRUE(near(pixel(*picture, 3, 2), c.top, c.tolerance)) << describe(pixel(*picture, 3, 2));
    EXPECT_TRUE(near(pixel(*picture, 17, 9), c.bottom, c.tolerance)) << describe(pixel(*picture, 17, 9));
    EXPECT_EQ(read_picture_size(bytes), (PictureSize{20, 12}));
  }
}

TEST(Picture, GifAndBmpAreMeasuredNotDecoded) {
  TempDir dir;
  const std::string gif = converter_picture(dir, "x.gif", "pal8");
  const std::string bmp = converter_picture(dir, "x.bmp", "bgr24");
  const std::string bmp_palette = converter_picture(dir, "p.bmp", "pal8");
  ASSERT_TRUE(test_env::make_clip({"-f", "lavfi", "-i", "testsrc=size=30x10:rate=5", "-frames:v", "4",
                                   dir / "moving.gif"}));
  const std::string animated = test_env::read_file(dir / "moving.gif");
  for (const auto& [bytes, size] : {std::pair{gif, PictureSize{20, 12}}, std::pair{bmp, PictureSize{20, 12}},
                                    std::pair{bmp_palette, PictureSize{20, 12}}, std::pair{animated, PictureSize{30, 10}}}) {
    EXPECT_EQ(read_picture_size(bytes), size);
    EXPECT_FALSE(decode_picture(bytes).has_value());
  }
  EXPECT_EQ(picture_format(gif), PictureFormat::gif);
  EXPECT_EQ(picture_format(bmp), PictureFormat::bmp);
}

TEST(Picture, InterlacedAndPackedPalettePngs) {
  // Adam7 interlacing: every pixel must land where it belongs.
  const int w = 9, h = 7;
  std::vector<std::vector<png_byte>> rows(h);
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) rows[y].insert(rows[y].end(), {static_cast<png_byte>(x * 20), static_cast<png_byte>(y * 30), 100});
  }
  const auto interlaced = decode_picture(libpng_picture(w, h, PNG_COLOR_TYPE_RGB, 8, PNG_INTERLACE_ADAM7, rows));
  ASSERT_TRUE(interlaced.has_value());
  for (int y = 0; y < h; ++y) {
    for (int x = 0; x < w; ++x) EXPECT_EQ(pixel(*interlaced, x, y), (Rgba{x * 20, y * 30, 100, 255})) << x << "," << y;
  }

  // Two bits per pixel with a transparency table that covers three of four entries.
  const std::vector<png_color> palette = {{255, 0, 0}, {0, 255, 0}, {0, 0, 255}, {255, 255, 255}};
  const std::string packed = libpng_picture(4, 2, PNG_COLOR_TYPE_PALETTE, 2, PNG_INTERLACE_NONE,
                                            {{0, 1, 2, 3}, {3, 2, 1, 0}}, palette, {255, 0, 128});
  const auto decoded = decode_picture(packed);
  ASSERT_TRUE(decoded.has_value());
  const Rgba expected[2][4] = {{{255, 0, 0, 255}, {0, 255, 0, 0}, {0, 0, 255, 128}, {255, 255, 255, 255}},
                               {{255, 255, 255, 255}, {0, 0, 255, 128}, {0, 255, 0, 0}, {255, 0, 0, 255}}};
  for (int y = 0; y < 2; ++y) {
    for (int x = 0; x < 4; ++x) EXPECT_EQ(pixel(*decoded, x, y), expected[y][x]) << x << "," << y;
  }
  EXPECT_EQ(read_picture_size(packed), (PictureSize{4, 2}));
}

TEST(Picture, GreyAndCmykJpegs) {
  const auto grey = decode_picture(libjpeg_picture(8, 5, JCS_GRAYSCALE, {200}));
  ASSERT_TRUE(grey.has_value());
  EXPECT_EQ(grey->width, 8);
  EXPECT_EQ(grey->height, 5);
  EXPECT_TRUE(near(pixel(*grey, 4, 4), {200, 200, 200, 255}, 2)) << describe(pixel(*grey, 4, 4));

  // Red in inverted CMYK: no cyan, full magenta and yellow, no black.
  const auto cmyk = decode_picture(libjpeg_picture(16, 16, JCS_CMYK, {255, 0, 0, 255}));
  ASSERT_TRUE(cmyk.has_value());
  EXPECT_TRUE(near(pixel(*cmyk, 8, 8), {255, 0, 0, 255}, 4)) << describe(pixel(*cmyk, 8, 8));
}

TEST(Picture, CutOffPicturesAreRefused) {
  TempDir dir;
  struct Case {
    std::string name;
    std::string bytes;
    size_t needed;  // every cut shorter than this loses picture data
  };
  std::vector<Case> cases;
  const std::string png = converter_picture(dir, "x.png", "rgb24");
  cases.push_back({"png", png, png.size() - 12});  // all but the end chunk
  const std::string interlaced =
      libpng_picture(9, 7, PNG_COLOR_TYPE_GRAY, 8, PNG_INTERLACE_ADAM7, std::vector<std::vector<png_byte>>(7, std::vector<png_byte>(9, 77)));
  cases.push_back({"interlaced png", interlaced, interlaced.size() - 12});
  const std::string jpg = converter_picture(dir, "x.jpg", "yuvj420p");
  cases.push_back({"jpeg", jpg, jpg.size()});
  const std::string gif = converter_picture(dir, "x.gif", "pal8");
  cases.push_back({"gif", gif, gif.size() - 1});  // all but the trailer
  const std::string bmp = converter_picture(dir, "x.bmp", "bgr24");
  cases.push_back({"bmp", bmp, bmp.size()});
  for (const auto& c : cases) {
    ASSERT_GT(c.bytes.size(), 20u) << c.name;
    ASSERT_TRUE(read_picture_size(c.bytes).has_value()) << c.name;
    for (size_t length = 0; length < c.needed; ++length) {
      const std::string_view cut(c.bytes.data(), length);
      EXPECT_FALSE(read_picture_size(cut).has_value()) << c.name << " cut at " << length;
      EXPECT_FALSE(decode_picture(cut).has_value()) << c.name << " cut at " << length;
    }
  }
}

TEST(Picture, HugeClaimedSizesAreRefusedQuickly) {
  TempDir dir;
  const std::string png = converter_picture(dir, "x.png", "rgb24");
  for (const auto& [w, h] : {std::pair{100000u, 100000u}, std::pair{8193u, 8193u}}) {
    const std::string huge = patch_png_header(png, w, h);
    EXPECT_FALSE(decode_picture(huge).has_value()) << w;
    EXPECT_FALSE(read_picture_size(huge).has_value()) << w;
  }
  // The JPEG frame header (after the 0xFFC0 marker, length and precision) with 60000
  // × 60000: a cut-off file may claim any size.
  std::string jpg = converter_picture(dir, "x.jpg", "yuvj420p");
  const size_t frame = jpg.find("\xFF\xC0");
  ASSERT_NE(frame, std::string::npos);
  for (size_t at : {frame + 5, frame + 7}) {
    jpg[at] = static_cast<char>(0xEA);
    jpg[at + 1] = static_cast<char>(0x60);
  }
  EXPECT_FALSE(decode_picture(jpg).has_value());
  EXPECT_FALSE(read_picture_size(jpg).has_value());
}

TEST(Picture, RandomAndMangledBytesNeverCrash) {
  TempDir dir;
  const std::string samples[] = {converter_picture(dir, "x.png", "rgba"), converter_picture(dir, "x.jpg", "yuvj420p"),
                                 converter_picture(dir, "x.gif", "pal8"), converter_picture(dir, "x.bmp", "bgr24")};
  std::mt19937 random(12345);
  auto random_bytes = [&](size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s.push_back(static_cast<char>(random() & 0xFF));
    return s;
  };
  EXPECT_FALSE(read_picture_size("").has_value());
  EXPECT_FALSE(decode_picture("").has_value());
  EXPECT_FALSE(read_picture_size("plain text, no picture").has_value());
  // Noise behind a PNG or JPEG signature is refused; behind nothing it is no picture.
  for (int i = 0; i < 300; ++i) {
    const std::string noise = random_bytes(random() % 3000);
    for (const std::string& prefix : {std::string(), std::string("\x89PNG\r\n\x1A\n"), std::string("\xFF\xD8\xFF")}) {
      EXPECT_FALSE(read_picture_size(prefix + noise).has_value()) << i;
      EXPECT_FALSE(decode_picture(prefix + noise).has_value()) << i;
    }
    read_picture_size("GIF89a" + noise);
    read_picture_size("BM" + noise);
  }
  // A few changed bytes anywhere: whatever comes back is consistent.
  for (const std::string& sample : samples) {
    ASSERT_FALSE(sample.empty());
    for (int i = 0; i < 400; ++i) {
      std::string mangled = sample;
      for (int n = 1 + static_cast<int>(random() % 4); n > 0; --n) {
        mangled[random() % mangled.size()] = static_cast<char>(random() & 0xFF);
      }
      if (const auto picture = decode_picture(mangled)) {
        EXPECT_EQ(picture->rgba.size(), static_cast<size_t>(picture->width) * picture->height * 4);
      }
      if (const auto size = read_picture_size(mangled)) {
        EXPECT_GT(size->width, 0);
        EXPECT_GT(size->height, 0);
      }
    }
  }
}
