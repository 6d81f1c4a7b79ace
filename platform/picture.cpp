#include "platform/picture.h"

#include <csetjmp>
#include <cstdio>  // jpeglib.h needs FILE
#include <cstring>
#include <new>

#include <jerror.h>
#include <jpeglib.h>
#include <png.h>

namespace {

// One decoding: where the rows go and what came out. The decoders below use setjmp,
// so everything that must survive a jump back lives here, outside their frames.
struct DecodeJob {
  const unsigned char* data = nullptr;
  size_t size = 0;
  size_t offset = 0;          // PNG: how far the reader has come
  Picture* picture = nullptr;  // null: decode for checking, keep no pixels
  std::vector<std::uint8_t> scratch;  // the row buffer when no pixels are kept
  PictureSize size_seen;
};

// True for a size that is neither empty nor larger than `max_decoded_pixels`.
bool size_allowed(std::uint32_t width, std::uint32_t height) {
  return width > 0 && height > 0 && static_cast<std::int64_t>(width) * height <= max_decoded_pixels;
}

// Makes room for `width` × `height` RGBA pixels in the job's picture, or for one row
// when it keeps none; false when that is too much.
bool prepare_rows(DecodeJob& job, std::uint32_t width, std::uint32_t height) {
  if (!size_allowed(width, height)) return false;
  job.size_seen = {static_cast<int>(width), static_cast<int>(height)};
  try {
    if (job.picture) {
      job.picture->width = static_cast<int>(width);
      job.picture->height = static_cast<int>(height);
      job.picture->rgba.assign(static_cast<size_t>(width) * height * 4, 0);
    } else {
      job.scratch.assign(static_cast<size_t>(width) * 4, 0);
    }
  } catch (const std::bad_alloc&) {
    return false;
  }
  return true;
}

// Where row `y` (of `width` pixels) is written.
unsigned char* row_pointer(DecodeJob& job, std::uint32_t y, std::uint32_t width) {
  if (!job.picture) return job.scratch.data();
  return job.picture->rgba.data() + static_cast<size_t>(y) * width * 4;
}

// ---- JPEG ----

struct JpegErrors {
  jpeg_error_mgr base;  // first, so that libjpeg's pointer is also ours
  std::jmp_buf jump;
  bool ended_early = false;
};

[[noreturn]] void jpeg_error_jump(j_common_ptr info) {
  std::longjmp(reinterpret_cast<JpegErrors*>(info->err)->jump, 1);
}

// Warnings are counted, not printed; running out of data marks the picture as cut off
// (libjpeg would fill the missing rows with grey and carry on).
void jpeg_note_message(j_common_ptr info, int level) {
  if (level >= 0) return;
  auto* errors = reinterpret_cast<JpegErrors*>(info->err);
  if (errors->base.msg_code == JWRN_JPEG_EOF) errors->ended_early = true;
  ++errors->base.num_warnings;
}

void jpeg_print_nothing(j_common_ptr) {}

// CMYK as JPEG files store it to RGBA, in place. Adobe's files hold the inks inverted.
void cmyk_row_to_rgba(unsigned char* row, std::uint32_t width, bool inverted) {
  for (std::uint32_t x = 0; x < width; ++x) {
    unsigned char* p = row + 4 * static_cast<size_t>(x);
    unsigned c = p[0], m = p[1], y = p[2], k = p[3];
    if (!inverted) {
      c = 255 - c;
      m = 255 - m;
      y = 255 - y;
      k = 255 - k;
    }
    p[0] = static_cast<unsigned char>(c * k / 255);
    p[1] = static_cast<unsigned char>(m * k / 255);
    p[2] = static_cast<unsigned char>(y * k / 255);
    p[3] = 255;
  }
}

bool decode_jpeg(DecodeJob* job) {
  jpeg_decompress_struct info{};  // zero: destroying it is harmless before it is made
  JpegErrors errors;
  info.err = jpeg_std_error(&errors.base);
  errors.base.error_exit = jpeg_error_jump;
  errors.base.emit_message = jpeg_note_message;
  errors.base.output_message = jpeg_print_nothing;
  if (setjmp(errors.jump)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  jpeg_create_decompress(&info);
  jpeg_mem_src(&info, job->data, static_cast<unsigned long>(job->size));
  jpeg_read_header(&info, TRUE);
  // Refused before libjpeg sets up buffers for the whole size (a cut-off file may
  // claim any size).
  if (!size_allowed(info.image_width, info.image_height)) {
    jpeg_destroy_decompress(&info);
    return false;
  }
  const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
  info.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGBA;
  jpeg_start_decompress(&info);
  bool ok = info.output_components == 4 && prepare_rows(*job, info.output_width, info.output_height);
  // Rows after the end of the data would only be grey filler: stop at once.
  while (ok && !errors.ended_early && info.output_scanline < info.output_height) {
    const std::uint32_t y = info.output_scanline;
    JSAMPROW row = row_pointer(*job, y, info.output_width);
    if (jpeg_read_scanlines(&info, &row, 1) != 1) ok = false;
    if (ok && cmyk && job->picture) cmyk_row_to_rgba(row, info.output_width, info.saw_Adobe_marker);
  }
  ok = ok && !errors.ended_early;
  if (ok) jpeg_finish_decompress(&info);
  jpeg_destroy_decompress(&info);
  return ok;
}

// ---- PNG ----

[[noreturn]] void png_error_jump(png_structp png, png_const_charp) { png_longjmp(png, 1); }

void png_warning_ignore(png_structp, png_const_charp) {}

// Hands libpng the next bytes; running out is an error (a cut-off file).
void png_read_bytes(png_structp png, png_bytep destination, size_t length) {
  auto* job = static_cast<DecodeJob*>(png_get_io_ptr(png));
  if (length > job->size - job->offset) png_error(png, "unexpected end of data");
  std::memcpy(destination, job->data + job->offset, length);
  job->offset += length;
}

bool decode_png(DecodeJob* job) {
  png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, nullptr, png_error_jump, png_warning_ignore);
  if (!png) return false;
  png_infop info = png_create_info_struct(png);
  if (!info) {
    png_destroy_read_struct(&png, nullptr, nullptr);
    return false;
  }
  if (setjmp(png_jmpbuf(png))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  png_set_read_fn(png, job, png_read_bytes);
  png_read_info(png, info);
  if (!size_allowed(png_get_image_width(png, info), png_get_image_height(png, info))) {
    png_destroy_read_struct(&png, &info, nullptr);
    return false;
  }
  // Everything to 8-bit RGBA: palettes and small grey depths expanded, transparency
  // colours to alpha, 16 bits cut to 8, grey to RGB, opaque alpha where none is.
  png_set_expand(png);
  png_set_strip_16(png);
  png_set_gray_to_rgb(png);
  png_set_add_alpha(png, 0xFF, PNG_FILLER_AFTER);
  const int passes = png_set_interlace_handling(png);
  png_read_update_info(png, info);
  const png_uint_32 width = png_get_image_width(png, info);
  const png_uint_32 height = png_get_image_height(png, info);
  bool ok = png_get_rowbytes(png, info) == static_cast<size_t>(width) * 4 && prepare_rows(*job, width, height);
  // An interlaced picture comes in several passes over the same rows; when no pixels
  // are kept every row shares the scratch buffer, which is enough to check the data.
  for (int pass = 0; ok && pass < passes; ++pass) {
    for (png_uint_32 y = 0; y < height; ++y) png_read_row(png, row_pointer(*job, y, width), nullptr);
  }
  png_destroy_read_struct(&png, &info, nullptr);
  return ok;
}

// ---- GIF and BMP headers ----

unsigned read_u16(std::string_view bytes, size_t at) {
  return static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8;
}

std::uint32_t read_u32(std::string_view bytes, size_t at) {
  return static_cast<std::uint32_t>(read_u16(bytes, at)) | static_cast<std::uint32_t>(read_u16(bytes, at + 2)) << 16;
}

// Moves `at` past a chain of GIF data sub-blocks; false when the chain is cut off.
bool skip_gif_sub_blocks(std::string_view bytes, size_t& at) {
  while (at < bytes.size()) {
    const size_t length = static_cast<unsigned char>(bytes[at]);
    ++at;
    if (length == 0) return true;
    at += length;
  }
  return false;
}

std::optional<PictureSize> gif_size(std::string_view bytes) {
  if (bytes.size() < 13) return std::nullopt;
  const PictureSize size{static_cast<int>(read_u16(bytes, 6)), static_cast<int>(read_u16(bytes, 8))};
  if (!size_allowed(size.width, size.height)) return std::nullopt;
  size_t at = 13;
  const unsigned screen_flags = static_cast<unsigned char>(bytes[10]);
  if (screen_flags & 0x80) at += 3u << ((screen_flags & 7) + 1);
  // Extensions may come first; the first image descriptor must follow with its data.
  while (at < bytes.size()) {
    const unsigned char block = static_cast<unsigned char>(bytes[at]);
    if (block == 0x21) {  // extension: label, then sub-blocks
      at += 2;
      if (!skip_gif_sub_blocks(bytes, at)) return std::nullopt;
    } else if (block == 0x2C) {  // image descriptor
      if (at + 10 > bytes.size()) return std::nullopt;
      const unsigned image_flags = static_cast<unsigned char>(bytes[at + 9]);
      at += 10;
      if (image_flags & 0x80) at += 3u << ((image_flags & 7) + 1);
      ++at;  // the LZW code size
      if (!skip_gif_sub_blocks(bytes, at)) return std::nullopt;
      return size;
    } else {
      return std::nullopt;  // the trailer before any image, or garbage
    }
  }
  return std::nullopt;
}

std::optional<PictureSize> bmp_size(std::string_view bytes) {
  if (bytes.size() < 26) return std::nullopt;
  const std::uint32_t pixels_at = read_u32(bytes, 10);
  const std::uint32_t header_size = read_u32(bytes, 14);
  std::int64_t width = 0, height = 0;
  unsigned bits = 0;
  std::uint32_t compression = 0;
  if (header_size == 12) {  // the old core header
    width = read_u16(bytes, 18);
    height = read_u16(bytes, 20);
    bits = read_u16(bytes, 24);
  } else if (header_size >= 40 && bytes.size() >= 14 + 40) {
    width = static_cast<std::int32_t>(read_u32(bytes, 18));
    height = static_cast<std::int32_t>(read_u32(bytes, 22));
    bits = read_u16(bytes, 28);
    compression = read_u32(bytes, 30);
  } else {
    return std::nullopt;
  }
  if (height < 0) height = -height;  // rows stored top to bottom
  constexpr std::int64_t largest = 1 << 20;
  if (width <= 0 || height <= 0 || width > largest || height > largest) return std::nullopt;
  if (!size_allowed(static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height))) return std::nullopt;
  if (pixels_at >= bytes.size()) return std::nullopt;
  // Uncompressed rows (plain or with bit-field masks) must all be there.
  if (compression == 0 || compression == 3 || compression == 6) {
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return std::nullopt;
    const std::int64_t row_bytes = (bits * width + 31) / 32 * 4;
    if (static_cast<std::int64_t>(pixels_at) + row_bytes * height > static_cast<std::int64_t>(bytes.size())) {
      return std::nullopt;
    }
  }
  return PictureSize{static_cast<int>(width), static_cast<int>(height)};
}

std::optional<PictureSize> decoded_size(std::string_view bytes, PictureFormat format, Picture* keep) {
  DecodeJob job;
  job.data = reinterpret_cast<const unsigned char*>(bytes.data());
  job.size = bytes.size();
  job.picture = keep;
  const bool ok = format == PictureFormat::jpeg ? decode_jpeg(&job) : decode_png(&job);
  if (!ok) return std::nullopt;
  return job.size_seen;
}

}  // namespace

PictureFormat picture_format(std::string_view bytes) {
  if (bytes.starts_with("\x89PNG\r\n\x1A\n")) return PictureFormat::png;
  if (bytes.starts_with("\xFF\xD8\xFF")) return PictureFormat::jpeg;
  if (bytes.starts_with("GIF87a") || bytes.starts_with("GIF89a")) return PictureFormat::gif;
  if (bytes.starts_with("BM")) return PictureFormat::bmp;
  return PictureFormat::unknown;
}

std::optional<Picture> decode_picture(std::string_view bytes) {
  const PictureFormat format = picture_format(bytes);
  if (format != PictureFormat::jpeg && format != PictureFormat::png) return std::nullopt;
  Picture picture;
  if (!decoded_size(bytes, format, &picture)) return std::nullopt;
  return picture;
}

std::optional<PictureSize> read_picture_size(std::string_view bytes) {
  switch (picture_format(bytes)) {
    case PictureFormat::jpeg:
      return decoded_size(bytes, PictureFormat::jpeg, nullptr);
    case PictureFormat::png:
      return decoded_size(bytes, PictureFormat::png, nullptr);
    case PictureFormat::gif:
      return gif_size(bytes);
    case PictureFormat::bmp:
      return bmp_size(bytes);
    case PictureFormat::unknown:
      break;
  }
  return std::nullopt;
}
