#include "ui/init_splash_window.h"

#include "engine/common/globals.h"
#include "engine/window/main_window_token.h"
#include "engine/window/program_pictures.h"
#include "platform/files.h"
#include "ui/resource_paths.h"

namespace {

constexpr const char* check_timer = "init_splash_check_timer";

}  // namespace

WindowSpec init_splash_window_spec(const std::string& run_folder) {
  WindowSpec spec;
  spec.name = init_splash_window_name;
  spec.title = init_splash_title;
  spec.width = init_splash_width;
  spec.height = init_splash_height;

  // The busy sign on the left, the line of text beside it at the sign's middle.
  ControlSpec picture = control_spec("init_splash_picture", ControlKind::picture_box, {48, 75, 100, 100});
  picture.picture = load_program_picture(run_folder, init_splash_busy_picture_path);
  spec.controls.push_back(std::move(picture));

  ControlSpec label = control_spec("init_splash_label", ControlKind::label, {172, 114, 432, 56}, init_splash_text);
  label.transparent = true;
  spec.controls.push_back(std::move(label));

  ControlSpec package =
      control_spec("init_splash_package_label", ControlKind::label, {172, 174, 432, 24}, init_splash_package_text);
  package.transparent = true;
  spec.controls.push_back(std::move(package));
  return spec;
}

void run_init_splash() {
  GuiModel& model = gui();
  const WindowToken splash = model.create_window(init_splash_window_spec(run_folder.get()));
  model.bind(window_ref(splash), EventKind::created, [splash](const GuiEvent&) { on_init_splash_created(splash); });
  model.bind({splash, check_timer}, EventKind::timer_tick, [splash](const GuiEvent&) { on_init_splash_timer(splash); });
  model.run_modal(splash, main_window());
}

void on_init_splash_created(WindowToken splash) { gui().set_timer(splash, check_timer, init_splash_check_interval_ms); }

void on_init_splash_timer(WindowToken splash) {
  GuiModel& model = gui();
  model.set_timer(splash, check_timer, 0);
  if (path_exists(ffmpeg_exe_path.get()))
    model.destroy_window(splash);
  else
    model.set_timer(splash, check_timer, init_splash_check_interval_ms);
}

void close_init_splash() {
  GuiModel& model = gui();
  if (!model.loop().is_ui_thread()) {
    model.post([] { close_init_splash(); });
    return;
  }
  if (const WindowToken splash = model.find_window(init_splash_window_name)) model.destroy_window(splash);
}
