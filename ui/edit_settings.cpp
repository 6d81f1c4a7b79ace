#include "ui/edit_settings.h"

#include <atomic>
#include <cmath>
#include <map>
#include <utility>

#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_settings_saver.h"
#include "platform/profile.h"
#include "ui/installed_call.h"
#include "ui/main_window.h"
#include "ui/merge_settings.h"
#include "ui/program_start.h"
#include "ui/startup_tasks.h"
#include "ui/subtitle_font_list.h"
#include "ui/ui_globals.h"

namespace {

using Kind = EditSettingKind;

// The window whose settings load has been applied (0: none yet).
std::atomic<std::uint64_t> loaded_window_id{0};

// What runs on the UI thread once the load has been applied.
InstalledCall load_followup;

// The compression slider's range and the position any other value reads as.
constexpr double slider_minimum = 1;
constexpr double slider_maximum = 20;
constexpr int slider_fallback = 10;
constexpr double slider_tolerance = 1e-7;
// The largest colour number (0x00BBGGRR).
constexpr double colour_maximum = 0xFFFFFF;

std::vector<EditSettingKey> build_edit_setting_keys() {
  return {
      {"x4", "head_trim_check", Kind::check, "n"},
      {"y4", "head_trim_seconds_field", Kind::text, "3"},
      {"x5", "tail_trim_check", Kind::check, "n"},
      {"y5", "tail_trim_seconds_field", Kind::text, "2"},
      {"x20", "frame_rate_check", Kind::check, "n"},
      {"y12", "frame_rate_field", Kind::text, "25"},
      {"x14", "sharpen_check", Kind::check, "n"},
      {"x15", "decolour_check", Kind::check, "n"},
      {"x10", "mute_check", Kind::check, "n"},
      {"x11", "flash_halo_check", Kind::check, "n"},
      {"x6", "hflip_check", Kind::check, "n"},
      {"x7", "vflip_check", Kind::check, "n"},
      {"x8", "rotate_cw_check", Kind::check, "n"},
      {"x9", "rotate_ccw_check", Kind::check, "n"},
      {"x12", "fade_in_check", Kind::check, "n"},
      {"x13", "colour_cycle_check", Kind::check, "n"},
      {"x19", "halo_check", Kind::check, "n"},
      {"x16", "subtitle_check", Kind::check, "n"},
      {"y6", "subtitle_text_field", Kind::text, ""},
      {"z1", "subtitle_font_combo", Kind::font, ""},
      {"z2", "subtitle_size_combo", Kind::combo_text, "35"},
      {"z3", "subtitle_direction_combo", Kind::select, "向左"},
      {"z4", "subtitle_shadow_combo", Kind::select, "0"},
      {"z5", "subtitle_speed_combo", Kind::select, "2"},
      {"ys", "subtitle_colour_picker", Kind::colour, "65535"},
      {"y11", "subtitle_bottom_field", Kind::text, "30"},
      {"x17", "merge_audio_check", Kind::check, "n"},
      {"y7", "audio_file_field", Kind::text, ""},
      {"x18", "picture_watermark_check", Kind::check, "n"},
      {"y8", "watermark_picture_field", Kind::text, ""},
      {"y9", "watermark_left_field", Kind::text, "10"},
      {"y10", "watermark_top_field", Kind::text, "10"},
      {"x21", "delogo_check", Kind::check, "n"},
      {"y13", "delogo_left_field", Kind::text, "10"},
      {"y14", "delogo_top_field", Kind::text, "10"},
      {"y15", "delogo_width_field", Kind::text, "100"},
      {"y16", "delogo_height_field", Kind::text, "50"},
      {"x22", "resize_check", Kind::check, "n"},
      {"y17", "resize_width_field", Kind::text, "1280"},
      {"y18", "resize_height_field", Kind::text, "720"},
      {"x23", "blur_border_check", Kind::check, "n"},
      {"z8", "blur_border_scale_combo", Kind::select, "90%"},
      {"x24", "top_bottom_pictures_check", Kind::check, "n"},
      {"y25", "top_picture_field", Kind::text, ""},
      {"y26", "bottom_picture_field", Kind::text, ""},
      {"x25", "portrait_to_landscape_check", Kind::check, "n"},
      {"x26", "landscape_to_portrait_check", Kind::check, "n"},
      {"x27", "background_picture_check", Kind::check, "n"},
      {"y27", "background_picture_field", Kind::text, ""},
      {"z10", "background_size_combo", Kind::two_way, "背景图", "背景图", "原视频"},
      {"z6", "background_scale_combo", Kind::percent_select, "95%", "", "95%"},
      {"z9", "background_position_combo", Kind::two_way, "居中", "居中", "自定义"},
      {"y28", "background_left_field", Kind::text, "0"},
      {"y29", "background_top_field", Kind::text, "0"},
      {"x28", "crop_check", Kind::check, "n"},
      {"y30", "crop_width_field", Kind::text, "640"},
      {"y31", "crop_height_field", Kind::text, "360"},
      {"y32", "crop_left_field", Kind::text, "0"},
      {"y33", "crop_top_field", Kind::text, "0"},
      {"x29", "compress_check", Kind::check, "n"},
      {"z11", "compress_mode_combo", Kind::two_way, "模式二", "模式一", "模式二"},
      {"h1", "compress_strength_slider", Kind::slider, "10"},
      {"x30", "speed_check", Kind::check, "n"},
      {"z12", "speed_combo", Kind::select, "1.1"},
      {"x31", "multithread_check", Kind::check, "n"},
      {"y34", "thread_count_field", Kind::text, "2"},
      {"x32", "gpu_decode_check", Kind::check, "n"},
      {"x33", "custom_command_check", Kind::check, "n"},
      {"dd33", "custom_before_radio", Kind::radio_pair, "n", "", "", "custom_after_radio"},
      {"x34", "audio_rate_check", Kind::check, "n"},
      {"y35", "audio_rate_field", Kind::text, "48"},
      {"x36", "random_transition_check", Kind::check, "n"},
  };
}

GuiColour colour_from_setting(const std::string& value) {
  const double number = text_to_number(value);
  if (!(number >= 0 && number <= colour_maximum)) return 0;
  return static_cast<GuiColour>(number);
}

int slider_position_from_setting(const std::string& value) {
  const double number = text_to_number(value);
  if (number < slider_minimum - slider_tolerance || number > slider_maximum + slider_tolerance) return slider_fallback;
  return static_cast<int>(std::trunc(number));
}

// Selects the first item of a combo that begins with `value`; none: nothing changes.
void select_item_starting_with(const ControlRef& combo, const std::string& value) {
  const int index = first_text_starting_with(gui().items(combo), value);
  if (index >= 0) gui().set_selected_index(combo, index);
}

// Writes one key's value into its control as the key's kind says.
void restore_setting(WindowToken window, const EditSettingKey& key, const std::string& value) {
  GuiModel& model = gui();
  const ControlRef control{window, key.role};
  switch (key.kind) {
    case Kind::check:
      model.set_checked(control, value == "y");
      break;
    case Kind::text:
    case Kind::combo_text:
      model.set_text(control, value);
      break;
    case Kind::select:
      select_item_starting_with(control, value);
      break;
    case Kind::colour:
      model.set_colour(control, colour_from_setting(value));
      break;
    case Kind::font:
      break;  // selected by the font list
    case Kind::two_way:
      model.set_text(control, value == key.match ? key.match : key.otherwise);
      break;
    case Kind::percent_select:
      if (value.find('%') != std::string::npos)
        select_item_starting_with(control, value);
      else
        model.set_text(control, key.otherwise);
      break;
    case Kind::slider:
      model.set_value(control, slider_position_from_setting(value));
      break;
    case Kind::radio_pair:
      model.set_checked(ControlRef{window, value == "a" ? key.role : key.other_role}, true);
      break;
  }
}

// The value a key is saved as, from the controls' states.
std::string saved_value(const EditSettingKey& key, const std::map<std::string, const ControlState*>& controls,
                        bool font_list_ready) {
  static const ControlState missing;
  const auto found = controls.find(key.role);
  const ControlState& control = found != controls.end() ? *found->second : missing;
  switch (key.kind) {
    case Kind::check:
      return control.checked ? "y" : "n";
    case Kind::colour:
      return std::to_string(control.colour.value_or(0));
    case Kind::slider:
      return std::to_string(control.value);
    case Kind::radio_pair:
      return control.checked ? "a" : "b";
    case Kind::font:
      return font_list_ready ? control.text : subtitle_font_name.get();
    default:
      return control.text;
  }
}

std::string read_setting(const std::string& path, const std::string& key, const std::string& default_value) {
  return read_profile_text(path, edit_settings_section, key, default_value);
}

}  // namespace

const std::vector<EditSettingKey>& edit_setting_keys() {
  static const std::vector<EditSettingKey> keys = build_edit_setting_keys();
  return keys;
}

const EditSettingKey* find_edit_setting_key(const std::string& key) {
  for (const EditSettingKey& row : edit_setting_keys())
    if (key == row.key) return &row;
  return nullptr;
}

const std::vector<std::string>& edit_settings_load_order() {
  static const std::vector<std::string> order = {
      "x4",  "y4",  "x5",  "y5",  "x20", "y12", "x14", "x15", "x10", "x11", "x6",  "x7",  "x8",  "x9",
      "x12", "x13", "x19", "x16", "y6",  "y11", "z2",  "ys",  "z3",  "z4",  "z5",  "x17", "y7",  "x18",
      "y8",  "y9",  "y10", "x21", "y13", "y14", "y15", "y16", "x22", "y17", "y18", "x23", "z8",  "x24",
      "y25", "y26", "x25", "x26", "x27", "y27", "y28", "y29", "z10", "z6",  "z9",  "x28", "y30", "y31",
      "y32", "y33", "x29", "z11", "h1",  "x30", "z12", "x31", "y34", "x32", "x33", "dd33", "x34", "y35"};
  return order;
}

bool edit_settings_loaded() {
  const WindowToken window = main_window();
  return window && loaded_window_id.load(std::memory_order_acquire) == window.id;
}

void save_edit_settings() {
  const WindowToken window = main_window();
  if (!edit_settings_loaded()) return;
  // One copy of every control, so that the saved values belong together.
  const WindowState snapshot = gui().window_snapshot(window);
  if (!snapshot.token) return;
  std::map<std::string, const ControlState*> controls;
  for (const ControlState& control : snapshot.controls) controls.emplace(control.role, &control);

  const bool font_list_ready = subtitle_font_list_filled();
  std::vector<std::pair<std::string, std::string>> pairs;
  pairs.reserve(edit_setting_keys().size());
  for (const EditSettingKey& key : edit_setting_keys())
    pairs.emplace_back(key.key, saved_value(key, controls, font_list_ready));
  write_profile_texts(config_file_path.get(), edit_settings_section, pairs);
}

void save_merge_setting(const char* key, const std::string& value) {
  if (!edit_settings_loaded()) return;
  write_profile_text(config_file_path.get(), edit_settings_section, key, value);
}

void load_edit_settings() {
  const WindowToken window = main_window();
  const std::string path = config_file_path.get();
  for (const std::string& name : edit_settings_load_order()) {
    if (worker_shutdown_requested()) return;
    const EditSettingKey& key = *find_edit_setting_key(name);
    restore_setting(window, key, read_setting(path, key.key, key.default_value));
  }
  restore_merge_title(window, read_setting(path, merge_title_key, "a"));
  fill_merge_transition_combo(window);
  restore_merge_transition(window, read_setting(path, merge_transition_key, "a"),
                           read_setting(path, merge_transition_index_key, "0"));
  const EditSettingKey& last = *find_edit_setting_key("x36");
  restore_setting(window, last, read_setting(path, last.key, last.default_value));

  // What follows the load (the options' apply) runs on the UI thread, where every other
  // apply runs, so that two applies never interleave; the first save of the run follows
  // from there.
  gui().post_to_window(window, [window] {
    loaded_window_id.store(window.id, std::memory_order_release);
    load_followup.run();
  });
}

void set_settings_load_followup(std::function<void()> followup) { load_followup.install(std::move(followup)); }

void bind_edit_settings(WindowToken window) {
  // A new window starts unloaded (window ids are unique only within one control model).
  (void)window;
  loaded_window_id.store(0);
  set_startup_task(StartupTask::settings, load_edit_settings);
  set_closing_save(save_edit_settings);
  // The picture-position editor saves the options when it replaces the picture.
  set_edit_settings_saver(save_edit_settings);
}
