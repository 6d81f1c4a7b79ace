#include "ui/main_window_created.h"

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "platform/profile.h"
#include "ui/main_window.h"
#include "ui/main_window_design.h"
#include "ui/startup_tasks.h"
#include "ui/ui_globals.h"

namespace {

std::string read_setting(const std::string& section, const std::string& key, const std::string& default_value) {
  return read_profile_text(config_file_path.get(), section, key, default_value);
}

}  // namespace

void bind_main_window_created_handler(WindowToken window) {
  gui().bind(window_ref(window), EventKind::created, [](const GuiEvent&) { on_main_window_created(); });
}

std::string restore_output_folder(const std::string& section) {
  std::string folder = read_setting(section, "保存位置", "");
  // An empty stored folder would make every output land in the current folder.
  if (folder.empty()) folder = run_folder.get() + default_output_subfolder;
  ensure_directory(folder + "/");
  return folder;
}

void on_main_window_created() {
  const WindowToken window = main_window();
  GuiModel& model = gui();

  model.set_window_size(window, main_window_design_width, main_window_created_height);

  TrayIconRequest tray;
  tray.window = window;
  tray.icons = model.window_state(window).icons;
  tray.tip = tray_tip_text;
  gui_services().tray->show_tray_icon(tray);

  model.set_text(main_control("convert_output_folder_field"), restore_output_folder("批量转换视频"));

  // Only the exact text "b" means "save into the chosen folder".
  const bool to_folder = read_setting("批量转换视频", "保存方式", "b") == "b";
  model.set_checked(main_control(to_folder ? "convert_save_to_folder_radio" : "convert_save_beside_source_radio"),
                    true);

  const ControlRef merge_group = main_control("merge_output_group");
  model.set_position(merge_group, model.geometry(merge_group).x, merge_output_group_created_top);

  model.set_text(main_control("merge_output_folder_field"), restore_output_folder("批量合并视频"));
  model.set_text(main_control("edit_output_folder_field"), restore_output_folder("批量剪辑视频"));

  model.set_title(window, main_window_created_title);

  const std::string first_open_folder = read_setting("原视频", "打开位置1", run_folder.get() + default_output_subfolder);
  convert_list_open_folder.set(first_open_folder);
  merge_list1_open_folder.set(read_setting("原视频", "打开位置2", first_open_folder));
  merge_list2_open_folder.set(read_setting("原视频", "打开位置3", first_open_folder));
  edit_list_open_folder.set(read_setting("原视频", "打开位置4", first_open_folder));

  subtitle_font_name.set(read_setting("批量剪辑视频", "z1", "黑体"));

  start_startup_task(StartupTask::converter_check);
  model.set_size(main_control("list_drag_label"), 0, 0);
  start_startup_task(StartupTask::font_list);
  start_startup_task(StartupTask::settings);

  register_main_window_drop_targets(window);
}
