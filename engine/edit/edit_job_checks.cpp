#include "engine/edit/edit_job_checks.h"

#include <array>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/system_info.h"
#include "engine/common/text_helpers.h"
#include "platform/files.h"

namespace {

enum class FieldTest { empty, missing };

struct StartCheck {
  const char* box;
  const char* field;
  FieldTest test;
  const char* message;
  const char* focus;
};

constexpr std::array<StartCheck, 11> start_checks = {{
    {"subtitle_check", "subtitle_text_field", FieldTest::empty, "请先输入字幕文字！", "subtitle_text_field"},
    {"merge_audio_check", "audio_file_field", FieldTest::empty, "请先选择一个音频文件。", ""},
    {"merge_audio_check", "audio_file_field", FieldTest::missing, "请重新选择一个音频文件。", ""},
    {"picture_watermark_check", "watermark_picture_field", FieldTest::empty,
     "请先选择一张水印图片！可以选择gif动图或png透明图的。", ""},
    {"picture_watermark_check", "watermark_picture_field", FieldTest::missing,
     "请重新选择一张水印图片！可以选择gif动图或png透明图的。", ""},
    {"top_bottom_pictures_check", "top_picture_field", FieldTest::empty, "请先选择一张放置于视频顶端的图片！", ""},
    {"top_bottom_pictures_check", "bottom_picture_field", FieldTest::empty, "请先选择一张放置于视频底端的图片！", ""},
    {"top_bottom_pictures_check", "top_picture_field", FieldTest::missing, "请重新选择一张置于顶端的图片！", ""},
    {"top_bottom_pictures_check", "bottom_picture_field", FieldTest::missing, "请重新选择一张置于底端的图片！", ""},
    {"background_picture_check", "background_picture_field", FieldTest::empty, "请先选择一张视频背景图！", ""},
    {"background_picture_check", "background_picture_field", FieldTest::missing, "请重新选择一张视频背景图！", ""},
}};

bool check_fails(const EditPage& page, const StartCheck& check) {
  if (!page.checked(check.box)) return false;
  const std::string value = page.text(check.field);
  return check.test == FieldTest::empty ? value.empty() : !path_exists(value);
}

// The subtitle's preparations once its text is given: a usable size, and the font
// where the converter finds it by its bare name.
void prepare_subtitle(const EditPage& page) {
  const ControlRef size = page("subtitle_size_combo");
  if (text_to_number(gui().text(size)) - 1 < -0.0000001) gui().set_text(size, edit_default_subtitle_size);
  copy_subtitle_font_into_bin(page);
}

}  // namespace

std::optional<EditStartRefusal> run_edit_start_checks(const EditPage& page) {
  for (std::size_t i = 0; i < start_checks.size(); ++i) {
    const StartCheck& check = start_checks[i];
    if (check_fails(page, check)) return EditStartRefusal{check.message, check.focus};
    if (i == 0 && page.checked("subtitle_check")) prepare_subtitle(page);
  }
  return std::nullopt;
}

bool is_plain_font_file_name(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos;
}

std::string subtitle_font_copy_path(const EditPage& page) {
  const int index = gui().selected_index(page("subtitle_font_combo"));
  if (index < 0) return {};
  const std::string name = font_file_names.at(static_cast<std::size_t>(index));
  if (!is_plain_font_file_name(name)) return {};
  if (name == file_name_from_path(ffmpeg_exe_path.get(), true)) return {};
  return run_folder.get() + "/bin/" + name;
}

bool copy_subtitle_font_into_bin(const EditPage& page) {
  const std::string target = subtitle_font_copy_path(page);
  const std::string fonts = special_folder_path(special_folder_fonts);
  if (target.empty() || fonts.empty()) return false;
  return copy_file(fonts + file_name_from_path(target, true), target, true);
}
