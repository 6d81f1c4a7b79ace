// Time to build the subtitle font list from the fonts folder: every font file is opened
// once for its face name. Run by hand; QF_FONTS_FOLDER may name a larger folder.

#include <chrono>
#include <cstdio>

#include "engine/common/system_info.h"
#include "engine/edit/subtitle_fonts.h"

int main() {
  const auto started = std::chrono::steady_clock::now();
  const std::string folder = special_folder_path(special_folder_fonts);
  const auto folder_ready = std::chrono::steady_clock::now();
  const auto fonts = list_subtitle_fonts();
  const auto listed = std::chrono::steady_clock::now();
  auto ms = [](auto a, auto b) { return std::chrono::duration<double, std::milli>(b - a).count(); };
  std::printf("fonts folder %s: %.1f ms\n", folder.c_str(), ms(started, folder_ready));
  std::printf("%zu fonts listed: %.1f ms\n", fonts.size(), ms(folder_ready, listed));
  return fonts.empty() ? 1 : 0;
}
