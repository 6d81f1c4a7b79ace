#pragma once
// Pictures read from their bytes: JPEG (libjpeg) and PNG (libpng) decoded into 8-bit
// RGBA pixels; GIF and BMP measured from their headers.
//
// Damaged, truncated and foreign bytes give an empty result. The libraries' errors
// come back here (never ending the program) and nothing is printed. Every call stands
// alone, so any thread may decode at any time.

#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

enum class PictureFormat { unknown, jpeg, png, gif, bmp };

// The format that the signature at the start of `bytes` names.
PictureFormat picture_format(std::string_view bytes);

struct PictureSize {
  int width = 0;
  int height = 0;
  bool operator==(const PictureSize&) const = default;
};

struct Picture {
  int width = 0;
  int height = 0;
  // Rows from top to bottom, 4 bytes per pixel: red, green, blue, alpha (255 = opaque).
  std::vector<std::uint8_t> rgba;
};

// The most pixels a picture may have (256 MB as RGBA); a larger one is refused, also
// when only its size is asked for.
inline constexpr std::int64_t max_decoded_pixels = std::int64_t{64} * 1024 * 1024;

// The pixels of a JPEG or PNG picture. Nothing for any other format, for a picture
// larger than `max_decoded_pixels`, and for bytes that do not decode completely (a
// JPEG cut off anywhere before its end marker, a PNG with a broken chunk or cut off in
// its image data; a PNG's closing chunk is not needed). Grey, palette, 16-bit,
// interlaced and transparent PNGs and grey and CMYK JPEGs all come out as RGBA.
std::optional<Picture> decode_picture(std::string_view bytes);

// The width and height of a picture that can be read whole. A JPEG or PNG is decoded
// completely (one row at a time, no pixels kept) and must pass as `decode_picture`
// would; a GIF is measured by its logical screen and needs the whole data of its first
// image; a BMP needs all its pixel rows (when uncompressed). Nothing for any other
// bytes, nor for a picture larger than `max_decoded_pixels`.
std::optional<PictureSize> read_picture_size(std::string_view bytes);
