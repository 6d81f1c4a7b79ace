#include "engine/edit/watermark_picture_size.h"

#include <optional>

#include "platform/picture.h"

std::atomic<int> watermark_picture_width{0};
std::atomic<int> watermark_picture_height{0};

bool measure_watermark_picture(std::string_view bytes) {
  const std::optional<PictureSize> size = read_picture_size(bytes);
  watermark_picture_width = size ? size->width : 0;
  watermark_picture_height = size ? size->height : 0;
  return watermark_picture_width > 0 && watermark_picture_height > 0;
}
