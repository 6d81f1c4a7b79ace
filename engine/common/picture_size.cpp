#include "engine/common/picture_size.h"

#include <optional>

#include "platform/files.h"
#include "platform/picture.h"

namespace {

std::optional<PictureSize> source_picture_size(const std::string& source) {
  const std::string as_path(source.c_str());  // up to the first zero byte
  if (!as_path.empty() && path_file_exists(as_path)) {
    const auto bytes = read_file_bytes(as_path);
    if (!bytes) return std::nullopt;
    return read_picture_size(*bytes);
  }
  return read_picture_size(source);
}

}  // namespace

int image_width(const std::string& source) {
  const auto size = source_picture_size(source);
  return size ? size->width : 0;
}

int image_height(const std::string& source) {
  const auto size = source_picture_size(source);
  return size ? size->height : 0;
}

bool path_file_exists(const std::string& path) { return path_exists(path); }
