#include "ui/edit_options.h"

#include <charconv>
#include <map>
#include <string_view>

#include "engine/common/globals.h"
#include "ui/edit_settings.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"

namespace {

struct Hint {
  const char* role;
  std::vector<const char*> lines;
};

const std::vector<Hint>& hints() {
  static const std::vector<Hint> table = {
      {"frame_rate_field",
       {"只能在原视频的帧频上减少，不能增加。", "比如原视频是30帧/秒，可以改成低于30帧/秒，不能改成大于30帧/秒"}},
      {"sharpen_check", {"某种程度上提高视频画面的清晰度。"}},
      {"speed_check",
       {"倍速数值越大，播放速度越慢。大于1为慢速度，小于1为快速。",
        "比如：一个视频有10分钟，设置为0.5，这个视频就变成5分钟的。"}},
      {"subtitle_check",
       {"如果字幕【向右】滚动的话，建议把文字顺序颠倒一下。", "如果字幕【向左】滚动的话，文字的顺序建议不要颠倒。"}},
      {"merge_audio_check",
       {"如果选择【去除视频声音】，再选择合并新的音频，新音频的音量不变，也就是替换原音频。",
        "如果没有选择【去除视频声音】，再选择合并新的音频，新音频的音量会降低，旧声音音量不变，也就是添加背景音频。"}},
      {"delogo_check",
       {"将指定区域打成马赛克。建议先拿一个比较短的视频来调试水印的位置。",
        "成功后，再批量操作相同尺寸并且相同水印位置的视频。"}},
      {"picture_watermark_check", {"可以添加png透明图片。", "也可以添加gif动图。"}},
      {"background_picture_check",
       {"背景图片请用PS等软件设计成新视频的大小。", "比如：1280*720或720*1280等视频常规尺寸",
        "如果背景图尺寸小于原视频的话，可能导致视频变形。"}},
      {"crop_check",
       {"如果视频画面不符合裁切条件，会裁切失败！", "批量裁切视频前，请选择尺寸完全一致的视频。",
        "如果不满足裁切条件，将会跳过裁切步骤，继续保存新视频。"}},
      {"custom_command_check",
       {"自定义程序命令，老手专用，新手可以忽略本功能。", "用一个ffmpeg命令，来批量完成视频剪辑工作。"}},
      {"custom_after_radio", {"在所有选项后面，压缩视频选项的前面执行。"}},
      {"compress_check",
       {"模式一为有损压缩，模式二为无损压缩。", "推荐用模式二无损压缩视频，清晰度看不出变化。",
        "模式一力度越大，压缩越多，画面越不清晰。"}},
      {"gpu_decode_check", {"用Nvidia显卡解码，未必会比CPU解码更快。"}},
  };
  return table;
}

// A box and the value controls it enables, in the order the rules are applied.
struct OptionControls {
  const char* box;
  std::vector<const char*> values;
};

const std::vector<OptionControls>& option_controls() {
  static const std::vector<OptionControls> table = {
      {"head_trim_check", {"head_trim_seconds_field"}},
      {"tail_trim_check", {"tail_trim_seconds_field"}},
      {"frame_rate_check", {"frame_rate_field"}},
      {"subtitle_check",
       {"subtitle_text_field", "reverse_subtitle_button", "subtitle_font_combo", "subtitle_size_combo",
        "subtitle_colour_picker", "subtitle_direction_combo", "subtitle_shadow_combo", "subtitle_bottom_field",
        "subtitle_speed_combo"}},
      {"merge_audio_check", {"audio_file_field", "choose_audio_file_button"}},
      {"delogo_check",
       {"delogo_left_field", "delogo_top_field", "delogo_width_field", "delogo_height_field", "delogo_region_button"}},
      {"picture_watermark_check",
       {"watermark_picture_field", "choose_watermark_picture_button", "watermark_left_field", "watermark_top_field",
        "watermark_position_button"}},
      {"resize_check", {"resize_width_field", "resize_height_field"}},
      {"blur_border_check", {"blur_border_scale_combo"}},
      {"top_bottom_pictures_check",
       {"top_picture_field", "choose_top_picture_button", "choose_bottom_picture_button", "bottom_picture_field"}},
      {"background_picture_check",
       {"background_picture_field", "choose_background_picture_button", "background_size_combo",
        "background_scale_combo", "background_position_combo"}},
      {"crop_check", {"crop_width_field", "crop_height_field", "crop_left_field", "crop_top_field", "crop_region_button"}},
      {"compress_check", {"compress_mode_combo"}},
      {"speed_check", {"speed_combo"}},
      {"multithread_check", {"thread_count_field"}},
      {"custom_command_check", {"custom_command_edit_button", "custom_before_radio", "custom_after_radio"}},
      {"audio_rate_check", {"audio_rate_field"}},
  };
  return table;
}

void show_hint(const std::string& role) {
  const std::string text = edit_option_hint(role);
  if (!text.empty()) show_balloon_at_cursor(text, {}, main_window());
}

void show_hint_when_checked(const std::string& role) {
  if (gui().checked(main_control(role))) show_hint(role);
}

// An option box was clicked: its hint when it is now checked (for a box with one),
// then the options are applied.
void option_clicked(const char* role, bool with_hint) {
  if (with_hint) show_hint_when_checked(role);
  refresh_edit_options();
}

// The two rotations exclude each other when the user checks one.
void rotation_clicked(const char* role, const char* other) {
  if (gui().checked(main_control(role))) gui().set_checked(main_control(other), false);
  refresh_edit_options();
}

struct HandlerBinding {
  const char* role;
  EventKind kind;
  void (*handler)();
};

const std::vector<HandlerBinding>& handler_bindings() {
  static const std::vector<HandlerBinding> table = {
      {"head_trim_check", EventKind::clicked, on_head_trim_option_clicked},
      {"tail_trim_check", EventKind::clicked, on_tail_trim_option_clicked},
      {"frame_rate_check", EventKind::clicked, on_frame_rate_option_clicked},
      {"frame_rate_field", EventKind::focus_gained, on_frame_rate_box_got_focus},
      {"sharpen_check", EventKind::clicked, on_sharpen_option_clicked},
      {"decolour_check", EventKind::clicked, on_decolour_option_clicked},
      {"mute_check", EventKind::clicked, on_mute_option_clicked},
      {"flash_halo_check", EventKind::clicked, on_flash_halo_option_clicked},
      {"portrait_to_landscape_check", EventKind::clicked, on_portrait_to_landscape_option_clicked},
      {"landscape_to_portrait_check", EventKind::clicked, on_landscape_to_portrait_option_clicked},
      {"hflip_check", EventKind::clicked, on_hflip_option_clicked},
      {"vflip_check", EventKind::clicked, on_vflip_option_clicked},
      {"rotate_cw_check", EventKind::clicked, on_rotate_cw_option_clicked},
      {"rotate_ccw_check", EventKind::clicked, on_rotate_ccw_option_clicked},
      {"random_transition_check", EventKind::clicked, on_random_transition_option_clicked},
      {"fade_in_check", EventKind::clicked, on_fade_in_option_clicked},
      {"colour_cycle_check", EventKind::clicked, on_colour_shift_option_clicked},
      {"halo_check", EventKind::clicked, on_halo_option_clicked},
      {"speed_check", EventKind::clicked, on_speed_option_clicked},
      {"audio_rate_check", EventKind::clicked, on_audio_rate_option_clicked},
      {"subtitle_check", EventKind::clicked, on_subtitle_option_clicked},
      {"merge_audio_check", EventKind::clicked, on_merge_audio_option_clicked},
      {"delogo_check", EventKind::clicked, on_remove_watermark_option_clicked},
      {"picture_watermark_check", EventKind::clicked, on_picture_watermark_option_clicked},
      {"top_bottom_pictures_check", EventKind::clicked, on_top_bottom_pictures_option_clicked},
      {"resize_check", EventKind::clicked, on_resize_option_clicked},
      {"background_picture_check", EventKind::clicked, on_background_picture_option_clicked},
      {"background_position_combo", EventKind::selection_changed, on_video_position_combo_changed},
      {"crop_check", EventKind::clicked, on_crop_option_clicked},
      {"blur_border_check", EventKind::clicked, on_blur_border_option_clicked},
      {"custom_command_check", EventKind::clicked, on_custom_command_option_clicked},
      {"custom_after_radio", EventKind::clicked, on_custom_after_option_clicked},
      {"compress_check", EventKind::clicked, on_compress_option_clicked},
      {"compress_mode_combo", EventKind::selection_changed, on_compress_mode_changed},
      {"multithread_check", EventKind::clicked, on_threads_option_clicked},
      {"gpu_decode_check", EventKind::clicked, on_gpu_decode_option_clicked},
  };
  return table;
}

}  // namespace

std::string edit_option_hint(const std::string& role) {
  for (const Hint& hint : hints()) {
    if (role != hint.role) continue;
    std::string text;
    for (const char* line : hint.lines) {
      if (!text.empty()) text += "\r\n";
      text += line;
    }
    return text;
  }
  return {};
}

std::optional<int> thread_count_from_text(const std::string& text) {
  std::string_view digits = text;
  const auto first = digits.find_first_not_of(' ');
  if (first == std::string_view::npos) return std::nullopt;
  digits = digits.substr(first, digits.find_last_not_of(' ') - first + 1);
  if (digits.empty() || digits.size() > 3) return std::nullopt;
  for (char c : digits)
    if (c < '0' || c > '9') return std::nullopt;
  int count = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), count);
  if (count < 1) return std::nullopt;
  return count;
}

std::string build_ffmpeg_global_options(bool multithread, const std::string& thread_count_text, bool gpu_decode) {
  std::string options;
  if (multithread) {
    if (const std::optional<int> count = thread_count_from_text(thread_count_text))
      options += " -threads " + std::to_string(*count);
  }
  if (gpu_decode) options += " -hwaccel auto";
  return options;
}

const std::vector<std::string>& edit_start_option_boxes() {
  static const std::vector<std::string> boxes = {
      "head_trim_check",         "tail_trim_check",          "frame_rate_check",
      "sharpen_check",           "decolour_check",           "mute_check",
      "flash_halo_check",        "hflip_check",              "vflip_check",
      "rotate_cw_check",         "rotate_ccw_check",         "fade_in_check",
      "colour_cycle_check",      "halo_check",               "subtitle_check",
      "merge_audio_check",       "picture_watermark_check",  "delogo_check",
      "resize_check",            "blur_border_check",        "top_bottom_pictures_check",
      "portrait_to_landscape_check", "landscape_to_portrait_check", "background_picture_check",
      "crop_check",              "compress_check",           "speed_check",
      "custom_command_check",    "audio_rate_check",         "random_transition_check"};
  return boxes;
}

void refresh_edit_options() {
  GuiModel& model = gui();
  const WindowState snapshot = model.window_snapshot(main_window());
  if (!snapshot.token) return;
  std::map<std::string_view, const ControlState*> controls;
  for (const ControlState& control : snapshot.controls) controls.emplace(control.role, &control);
  const auto state = [&](std::string_view role) -> const ControlState& {
    static const ControlState missing;
    const auto found = controls.find(role);
    return found != controls.end() ? *found->second : missing;
  };
  const auto enable = [&](const char* role, bool enabled) { model.set_enabled(main_control(role), enabled); };

  for (const OptionControls& option : option_controls()) {
    const bool on = state(option.box).checked;
    for (const char* value : option.values) enable(value, on);
  }
  const bool background = state("background_picture_check").checked;
  const bool custom_position = state("background_position_combo").text != "居中";
  enable("background_left_field", background && custom_position);
  enable("background_top_field", background && custom_position);
  const bool compress = state("compress_check").checked;
  enable("compress_strength_slider", compress && state("compress_mode_combo").text == "模式一");

  ffmpeg_global_options.set(build_ffmpeg_global_options(
      state("multithread_check").checked, state("thread_count_field").text, state("gpu_decode_check").checked));

  enable("merge_transition_combo", state("merge_transition_check").checked);

  bool any_option = false;
  for (const std::string& box : edit_start_option_boxes()) any_option = any_option || state(box).checked;
  enable("edit_start_button", any_option && !state("edit_list").rows.empty());

  save_edit_settings();
}

void bind_edit_option_handlers(WindowToken window) {
  // Every change of the edit list re-applies the options (the "开始剪辑" rule), and so
  // does the end of the settings load.
  set_edit_options_refresh(refresh_edit_options);
  set_settings_load_followup(refresh_edit_options);
  for (const HandlerBinding& binding : handler_bindings())
    gui().bind({window, binding.role}, binding.kind, [handler = binding.handler](const GuiEvent&) { handler(); });
}

void on_head_trim_option_clicked() { option_clicked("head_trim_check", false); }
void on_tail_trim_option_clicked() { option_clicked("tail_trim_check", false); }
void on_frame_rate_option_clicked() { option_clicked("frame_rate_check", false); }
void on_frame_rate_box_got_focus() { show_hint("frame_rate_field"); }
void on_sharpen_option_clicked() { option_clicked("sharpen_check", true); }
void on_decolour_option_clicked() { option_clicked("decolour_check", false); }
void on_mute_option_clicked() { option_clicked("mute_check", false); }
void on_flash_halo_option_clicked() { option_clicked("flash_halo_check", false); }
void on_portrait_to_landscape_option_clicked() { option_clicked("portrait_to_landscape_check", false); }
void on_landscape_to_portrait_option_clicked() { option_clicked("landscape_to_portrait_check", false); }
void on_hflip_option_clicked() { option_clicked("hflip_check", false); }
void on_vflip_option_clicked() { option_clicked("vflip_check", false); }
void on_rotate_cw_option_clicked() { rotation_clicked("rotate_cw_check", "rotate_ccw_check"); }
void on_rotate_ccw_option_clicked() { rotation_clicked("rotate_ccw_check", "rotate_cw_check"); }
void on_random_transition_option_clicked() { option_clicked("random_transition_check", false); }
void on_fade_in_option_clicked() { option_clicked("fade_in_check", false); }
void on_colour_shift_option_clicked() { option_clicked("colour_cycle_check", false); }
void on_halo_option_clicked() { option_clicked("halo_check", false); }
void on_speed_option_clicked() { option_clicked("speed_check", true); }
void on_audio_rate_option_clicked() { option_clicked("audio_rate_check", false); }
void on_subtitle_option_clicked() { option_clicked("subtitle_check", true); }
void on_merge_audio_option_clicked() { option_clicked("merge_audio_check", true); }
void on_remove_watermark_option_clicked() { option_clicked("delogo_check", true); }
void on_picture_watermark_option_clicked() { option_clicked("picture_watermark_check", true); }
void on_top_bottom_pictures_option_clicked() { option_clicked("top_bottom_pictures_check", false); }
void on_resize_option_clicked() { option_clicked("resize_check", false); }
void on_background_picture_option_clicked() { option_clicked("background_picture_check", true); }
void on_video_position_combo_changed() { refresh_edit_options(); }
void on_crop_option_clicked() { option_clicked("crop_check", true); }
void on_blur_border_option_clicked() { option_clicked("blur_border_check", false); }
void on_custom_command_option_clicked() { option_clicked("custom_command_check", true); }
void on_custom_after_option_clicked() { show_hint_when_checked("custom_after_radio"); }
void on_compress_option_clicked() { option_clicked("compress_check", true); }
void on_compress_mode_changed() { refresh_edit_options(); }
void on_threads_option_clicked() { option_clicked("multithread_check", false); }
void on_gpu_decode_option_clicked() { option_clicked("gpu_decode_check", true); }
