#include "ui/program_start.h"

#include <utility>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/convert/convert_job.h"
#include "engine/converter/worker_threads.h"
#include "platform/process.h"
#include "platform/program_folder.h"
#include "ui/installed_call.h"
#include "ui/main_window.h"
#include "ui/ui_globals.h"

namespace {

InstalledCall closing_save;

}  // namespace

void set_closing_save(std::function<void()> save) { closing_save.install(std::move(save)); }

void init_global_arrays() {
  font_file_names.clear();
  regex_matches.clear();
  preview_mouse_pos.set({0, 0});
  overlay_grab_offset.set({0, 0});
}

void free_globals_at_exit() {
  release_ui_globals();
  release_engine_globals();
}

int program_start() { return program_start_in(executable_folder()); }

WindowToken open_main_window_in(const std::string& folder, const std::function<void()>& after_binding) {
  run_folder.set(folder);
  set_current_folder(folder);
  init_global_arrays();
  config_file_path.set(folder + "/data/qfconfig.ini");
  ensure_directory(folder + "/data/");
  // The converter's path is fixed; it is set before any window exists so that no run
  // can see it empty.
  ffmpeg_exe_path.set(folder + "/bin/ffmpeg");

  const WindowToken window = create_main_window();
  bind_main_window_handlers(window);
  if (after_binding) after_binding();
  gui().open_window(window);
  return window;
}

int program_start_in(const std::string& folder, const std::function<void()>& after_binding) {
  // The exit routine runs once, last, however the loop ends, unless a worker thread
  // still runs (it would find its values gone).
  struct ExitRoutine {
    ~ExitRoutine() {
      if (running_worker_threads() == 0) free_globals_at_exit();
    }
  } exit_routine;

  open_main_window_in(folder, after_binding);
  return gui().loop().run();
}

void bind_start_and_shutdown_handlers(WindowToken window) {
  gui().bind_answer(window_ref(window), EventKind::may_close, [](const GuiEvent&) { return on_main_window_can_close(); });
  gui().bind(window_ref(window), EventKind::destroyed, [window](const GuiEvent&) {
    on_main_window_destroyed();
    gui_services().tray->remove_tray_icon(window);
  });
}

bool on_main_window_can_close() {
  return show_message_box(exit_question_title, exit_question_text, MessageButtons::yes_no) == MessageAnswer::yes;
}

void on_main_window_destroyed() {
  request_worker_shutdown();
  begin_converter_shutdown();
  end_all_converter_processes();
  // The convert job keeps its own thread: it leaves once its killed run has returned.
  end_convert_thread();
  wait_for_worker_threads(shutdown_wait_limit);

  closing_save.run();
}

void on_exit_menu_clicked() { gui().destroy_window(main_window()); }

int end_program_without_display() {
  // The window's destroyed handler may have run already: the shutdown is one way.
  if (!converter_shutdown_begun()) on_main_window_destroyed();
  if (running_worker_threads() == 0) free_globals_at_exit();
  return 0;
}
