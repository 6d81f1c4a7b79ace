#include "ui/converter_presence.h"

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/system_info.h"
#include "engine/converter/worker_threads.h"
#include "engine/window/main_window_token.h"
#include "platform/files.h"
#include "platform/http.h"
#include "platform/program_search.h"
#include "ui/init_splash_window.h"
#include "ui/startup_tasks.h"

namespace {

constexpr const char* show_timer = "init_splash_show_timer";

// An installer that can be opened: a file with content. An empty one is what a failed
// download of an earlier version left; it is fetched again.
bool installer_ready(const std::string& path) {
  const auto length = file_length(path);
  return length && *length > 0;
}

// The splash (shown or about to be) goes, and the user learns why nothing follows.
void report_setup_failure() {
  const WindowToken window = main_window();
  // Stopped before the close is posted: a tick that has not run yet never opens the
  // splash, and one that has is closed by the posted task.
  gui().set_timer(window, show_timer, 0);
  gui().post_to_window(window, [window] {
    close_init_splash();
    show_message_box(converter_setup_failed_title, converter_setup_failed_text, MessageButtons::ok, window);
  });
}

}  // namespace

std::string installer_file_name(const std::string& version_name) {
  return version_name.find("x64") != std::string::npos ? installer_64_file_name : installer_32_file_name;
}

void bind_converter_presence_check(WindowToken window) {
  gui().bind({window, show_timer}, EventKind::timer_tick, [](const GuiEvent&) { on_show_init_splash_timer(); });
  set_startup_task(StartupTask::converter_check, ensure_ffmpeg_present_thread_entry);
}

void ensure_ffmpeg_present_thread_entry() { ensure_ffmpeg_present(installer_server_address); }

void ensure_ffmpeg_present(const std::string& server_address) {
  const std::string folder = run_folder.get();
  ffmpeg_exe_path.set(folder + "/bin/ffmpeg");
  if (path_exists(ffmpeg_exe_path.get())) return;

  ensure_directory(folder + "/bin/");
  // The system's converter, when it has one, is linked in as the build does it: the
  // installers are for another system and can never put one there.
  if (const std::string system_converter = find_program_on_path(converter_program_name);
      !system_converter.empty() && link_to_program(system_converter, ffmpeg_exe_path.get()) &&
      path_exists(ffmpeg_exe_path.get())) {
    return;
  }
  const std::string name = installer_file_name(windows_version_name());
  const std::string installer = folder + "/" + name;

  if (!installer_ready(installer)) {
    gui().set_timer(main_window(), show_timer, 1);
    const std::string body = http_get(server_address + "/" + name);
    if (worker_shutdown_requested()) return;
    if (body.empty() || !replace_file_contents(installer, body)) {
      report_setup_failure();
      return;
    }
  }
  if (worker_shutdown_requested()) return;
  if (!gui_services().shell->shell_open(installer)) report_setup_failure();
}

void on_show_init_splash_timer() {
  gui().set_timer(main_window(), show_timer, 0);
  if (main_window()) run_init_splash();
}
