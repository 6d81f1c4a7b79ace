#include "engine/common/system_info.h"

#include "platform/files.h"
#include "platform/fonts.h"
#include "platform/sysinfo.h"

std::string windows_version_name() {
  const std::string name = os_version_name();
  if (name.empty()) return {};
  return name + (is_64bit_system() ? " x64" : " x86");
}

std::string special_folder_path(int kind) {
  if (kind != special_folder_fonts) return {};
  std::string folder = fonts_folder();
  if (folder.empty()) return {};
  if (folder.back() != '/') folder += '/';
  return folder;
}

std::string font_face_name_from_file(std::string& font_path) {
  if (!path_exists(font_path)) {
    if (font_path.empty() || font_path.front() == '/') return {};
    const std::string fonts = special_folder_path(special_folder_fonts);
    if (fonts.empty()) return {};
    font_path = fonts + font_path;
  }
  return font_face_name(font_path);
}
