#include "platform/gui/picture.h"

#include "platform/picture.h"

GuiPicture picture_from_bytes(std::string_view bytes) {
  GuiPicture picture;
  if (bytes.empty()) return picture;
  picture.encoded = std::make_shared<const std::vector<std::uint8_t>>(bytes.begin(), bytes.end());
  if (std::optional<Picture> decoded = decode_picture(bytes)) {
    picture.width = decoded->width;
    picture.height = decoded->height;
    picture.rgba = std::make_shared<const std::vector<std::uint8_t>>(std::move(decoded->rgba));
  }
  return picture;
}

GuiPicture picture_from_rgba(int width, int height, std::vector<std::uint8_t> rgba) {
  GuiPicture picture;
  if (width <= 0 || height <= 0 || rgba.size() != static_cast<std::size_t>(width) * height * 4) return picture;
  picture.width = width;
  picture.height = height;
  picture.rgba = std::make_shared<const std::vector<std::uint8_t>>(std::move(rgba));
  return picture;
}
