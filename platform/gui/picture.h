#pragma once
// Making control pictures (GuiPicture) from file bytes or pixels.

#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/gui/gui_types.h"

// A control picture from a file's bytes. JPEG and PNG are decoded to RGBA pixels by
// platform/picture.h (damaged bytes give no pixels and end nothing); the bytes are kept
// as they are (GuiPicture::encoded) for the view, which can show formats the model
// does not decode, such as an animated GIF. Empty bytes give no picture.
GuiPicture picture_from_bytes(std::string_view bytes);

// A control picture from RGBA pixels (4 bytes per pixel, rows top to bottom); no
// picture when the sizes do not match the pixel count.
GuiPicture picture_from_rgba(int width, int height, std::vector<std::uint8_t> rgba);
