// Control pictures: PNG through libpng's simplified reader, JPEG through libjpeg with
// an error handler that jumps back instead of ending the program.

#include "platform/gui/picture.h"

#include <csetjmp>
#include <cstdio>
#include <cstring>

#include <jpeglib.h>
#include <png.h>

namespace {

using Pixels = std::vector<std::uint8_t>;

bool looks_like_png(const std::string& b) {
  return b.size() >= 8 && std::memcmp(b.data(), "\x89PNG\r\n\x1a\n", 8) == 0;
}
bool looks_like_jpeg(const std::string& b) {
  return b.size() >= 3 && static_cast<unsigned char>(b[0]) == 0xFF && static_cast<unsigned char>(b[1]) == 0xD8 &&
         static_cast<unsigned char>(b[2]) == 0xFF;
}

bool decode_png(const std::string& bytes, int& width, int& height, Pixels& out) {
  png_image image;
  std::memset(&image, 0, sizeof image);
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&image, bytes.data(), bytes.size())) return false;
  image.format = PNG_FORMAT_RGBA;
  const std::size_t size = PNG_IMAGE_SIZE(image);
  if (image.width == 0 || image.height == 0 || size / 4 / image.width != image.height) {
    png_image_free(&image);
    return false;
  }
  out.assign(size, 0);
  if (!png_image_finish_read(&image, nullptr, out.data(), 0, nullptr)) {
    png_image_free(&image);
    out.clear();
    return false;
  }
  width = static_cast<int>(image.width);
  height = static_cast<int>(image.height);
  return true;
}

struct JpegError {
  jpeg_error_mgr base;
  std::jmp_buf jump;
};

void jpeg_error_exit(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegError*>(info->err)->jump, 1);
}
void jpeg_quiet(j_common_ptr, int) {}

bool decode_jpeg(const std::string& bytes, int& width, int& height, Pixels& out) {
  jpeg_decompress_struct info;
  JpegError error;
  info.err = jpeg_std_error(&error.base);
  error.base.error_exit = jpeg_error_exit;
  error.base.emit_message = jpeg_quiet;
  // Nothing with a destructor may live between setjmp and a jump back to it.
  Pixels* result = &out;
  if (setjmp(error.jump)) {
    jpeg_destroy_decompress(&info);
    result->clear();
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.data()), static_cast<unsigned long>(bytes.size()));
  if (jpeg_read_header(&info, TRUE) != JPEG_HEADER_OK) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  info.out_color_space = JCS_RGB;
  jpeg_start_decompress(&info);
  const unsigned w = info.output_width, h = info.output_height;
  if (w == 0 || h == 0 || info.output_components != 3) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  result->assign(static_cast<std::size_t>(w) * h * 4, 0xFF);
  // The line buffer belongs to libjpeg, which frees it also after a jump back.
  JSAMPARRAY line = (*info.mem->alloc_sarray)(reinterpret_cast<j_common_ptr>(&info), JPOOL_IMAGE, w * 3, 1);
  while (info.output_scanline < h) {
    const unsigned y = info.output_scanline;
    jpeg_read_scanlines(&info, line, 1);
    std::uint8_t* dst = result->data() + static_cast<std::size_t>(y) * w * 4;
    for (unsigned x = 0; x < w; ++x) {
      dst[x * 4] = line[0][x * 3];
      dst[x * 4 + 1] = line[0][x * 3 + 1];
      dst[x * 4 + 2] = line[0][x * 3 + 2];
    }
  }
  jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  width = static_cast<int>(w);
  height = static_cast<int>(h);
  return true;
}

}  // namespace

Picture picture_from_bytes(const std::string& bytes) {
  Picture picture;
  if (bytes.empty()) return picture;
  picture.encoded = std::make_shared<const Pixels>(bytes.begin(), bytes.end());
  int width = 0, height = 0;
  Pixels pixels;
  bool ok = false;
  if (looks_like_png(bytes)) ok = decode_png(bytes, width, height, pixels);
  else if (looks_like_jpeg(bytes)) ok = decode_jpeg(bytes, width, height, pixels);
  if (ok) {
    picture.width = width;
    picture.height = height;
    picture.rgba = std::make_shared<const Pixels>(std::move(pixels));
  }
  return picture;
}

Picture picture_from_rgba(int width, int height, std::vector<std::uint8_t> rgba) {
  Picture picture;
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4) return picture;
  picture.width = width;
  picture.height = height;
  picture.rgba = std::make_shared<const Pixels>(std::move(rgba));
  return picture;
}
