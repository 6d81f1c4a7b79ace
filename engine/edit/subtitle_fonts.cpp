#include "engine/edit/subtitle_fonts.h"

#include <algorithm>

#include "engine/common/file_helpers.h"
#include "engine/common/system_info.h"
#include "engine/common/text_helpers.h"
#include "platform/files.h"

std::vector<SubtitleFont> list_subtitle_fonts() {
  std::vector<SubtitleFont> fonts;
  const std::string folder = special_folder_path(special_folder_fonts);
  if (folder.empty()) return fonts;
  // Sorted by the name with ASCII letters folded, then by the name itself.
  std::vector<std::pair<std::string, std::string>> names;
  for (const FolderEntry& entry : list_folder_entries(folder)) {
    if (!entry.is_folder && !entry.link_to_folder) names.emplace_back(fold_ascii_case(entry.name), entry.name);
  }
  std::sort(names.begin(), names.end());
  for (const auto& [key, name] : names) {
    // The full path, so that a file of the same name in the current folder is never
    // read in its place.
    std::string path = folder + name;
    const std::string face = font_face_name_from_file(path);
    if (face.empty()) continue;
    fonts.push_back({face + "(" + file_name_from_path(name) + ")", name});
  }
  return fonts;
}

int subtitle_font_index(const std::vector<SubtitleFont>& fonts, const std::string& remembered) {
  if (fonts.empty()) return -1;
  std::vector<std::string> items;
  items.reserve(fonts.size());
  for (const SubtitleFont& font : fonts) items.push_back(font.item_text);
  return std::max(first_text_starting_with(items, remembered), 0);
}
