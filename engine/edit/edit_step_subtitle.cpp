#include "engine/edit/edit_step_subtitle.h"

#include <filesystem>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/system_info.h"
#include "engine/common/text_helpers.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_job_checks.h"
#include "engine/edit/edit_step_common.h"
#include "engine/edit/edit_utilities.h"
#include "platform/files.h"
#include "platform/fonts.h"

namespace {

bool plain_in_filter(unsigned char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '.' || c == '_' ||
         c == '-' || c == '/' || c >= 0x80;
}

// One level of the filter syntax: a backslash before every character that is not plain.
std::string escaped_once(const std::string& text) {
  std::string escaped;
  for (const char c : text) {
    if (!plain_in_filter(static_cast<unsigned char>(c))) escaped += '\\';
    escaped += c;
  }
  return escaped;
}

bool is_positive_decimal_text(const std::string& text) { return is_decimal_text(text) && text_to_number(text) > 0; }

// The text file as the converter, working in the run folder's "bin", finds it.
std::string text_file_for_converter(const std::string& work_folder) {
  const std::filesystem::path file = (std::filesystem::path(work_folder) / subtitle_text_file_name).lexically_normal();
  const std::filesystem::path converter_folder = (std::filesystem::path(run_folder.get()) / "bin").lexically_normal();
  return file.lexically_relative(converter_folder).string();
}

}  // namespace

std::optional<std::string> filter_option_value_text(const std::string& value) {
  for (const char c : value) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || byte < 0x20 || byte == 0x7f) return std::nullopt;
  }
  return escaped_once(escaped_once(value));
}

std::string subtitle_position_text(const std::string& direction, const std::string& speed) {
  if (direction == "向左") return "x=(w-mod(" + speed + "*n\\,w+tw))";
  return "x=(mod(" + speed + "*n\\,w+tw)-tw)";
}

std::optional<std::string> subtitle_filter_text(const SubtitleFilterValues& values) {
  if (!is_decimal_text(values.speed) || !is_decimal_text(values.bottom, true) ||
      !is_positive_decimal_text(values.size) || !is_whole_number_text(values.shadow, true)) {
    return std::nullopt;
  }
  const std::optional<std::string> font = filter_option_value_text(values.font);
  const std::optional<std::string> text_file = filter_option_value_text(values.text_file);
  if (values.font.empty() || values.text_file.empty() || !font || !text_file) return std::nullopt;
  return "drawtext=fontfile=" + *font + ": textfile=" + *text_file + ": expansion=none: y=h-line_h-" + values.bottom +
         ":" + subtitle_position_text(values.direction, values.speed) + ":fontsize=" + values.size +
         ":fontcolor=#" + colour_to_hex(values.colour) + ":shadowy=" + values.shadow;
}

std::string subtitle_font_for_drawing(const EditPage& page, const std::string& text) {
  std::string font, file;  // as the converter finds it; the file itself
  if (gui().selected_index(page("subtitle_font_combo")) >= 0) {
    file = subtitle_font_copy_path(page);
    if (!file.empty()) font = file_name_from_path(file, true);
  } else {
    const std::string first = font_file_names.at(0);
    const std::string fonts = special_folder_path(special_folder_fonts);
    if (is_plain_font_file_name(first) && !fonts.empty()) font = file = fonts + first;
  }
  if (file.empty() || font_covers_text(file, text)) return font;
  // A font without some of the text's characters would draw boxes in their place.
  const std::string covering = installed_font_covering_text(text);
  return covering.empty() ? font : covering;
}

void run_scrolling_subtitle_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("subtitle_check")) return;
  set_edit_status(page, state, "正在添加字幕");
  SubtitleFilterValues values;
  const std::string text = page.text("subtitle_text_field");
  values.font = subtitle_font_for_drawing(page, text);
  values.text_file = text_file_for_converter(state.work_folder);
  values.direction = page.text("subtitle_direction_combo");
  values.speed = page.text("subtitle_speed_combo");
  values.bottom = page.text("subtitle_bottom_field");
  values.size = page.text("subtitle_size_combo");
  values.shadow = page.text("subtitle_shadow_combo");
  values.colour = gui().colour(page("subtitle_colour_picker")).value_or(0);
  const std::optional<std::string> filter = subtitle_filter_text(values);
  if (!filter) return;
  if (!replace_file_contents(state.work_folder + subtitle_text_file_name, text)) return;
  const int exit_status = run_edit_command(current_to_next_command(state, " -vf \"" + *filter + "\""));
  keep_step_output(state, page, "添加字幕成功", exit_status);
}
