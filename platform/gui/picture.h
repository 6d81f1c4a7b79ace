#pragma once
// Making control pictures from bytes or pixels.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/gui_types.h"

// A picture from a file's bytes. PNG and JPEG are decoded to RGBA pixels (libpng,
// libjpeg; a damaged file never ends the program, it just gives no pixels); any other
// format keeps its bytes undecoded for the view (Picture::encoded), with size 0.
// Empty bytes give no picture.
Picture picture_from_bytes(const std::string& bytes);

// A picture from RGBA pixels (4 bytes per pixel, rows top to bottom); no picture
// when the sizes do not match the pixel count.
Picture picture_from_rgba(int width, int height, std::vector<std::uint8_t> rgba);
