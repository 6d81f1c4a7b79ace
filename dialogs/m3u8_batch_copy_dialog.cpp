#include "dialogs/m3u8_batch_copy_dialog.h"

#include <utility>
#include <vector>

#include "dialogs/m3u8_addresses.h"
#include "engine/converter/worker_threads.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/job_list_rows.h"
#include "engine/window/main_window_token.h"

M3u8FillThread m3u8_fill_thread;

namespace {

ControlRef at(WindowToken dialog, const char* role) { return {dialog, role}; }

}  // namespace

WindowSpec build_m3u8_batch_copy_dialog() {
  WindowSpec spec;
  spec.name = m3u8_dialog_name;
  spec.title = m3u8_dialog_title;
  spec.width = 971;
  spec.height = 595;
  ControlSpec label = control_spec("m3u8_address_label", ControlKind::label, {10, 10, 500, 20},
                                   "m3u8地址：（一行一个m3u8网络视频地址）");
  label.transparent = true;
  spec.controls.push_back(label);
  ControlSpec box = control_spec("m3u8_address_box", ControlKind::edit_box, {10, 36, 950, 456});
  box.multi_line = true;
  box.vertical_scroll_bar = true;
  spec.controls.push_back(box);
  spec.controls.push_back(control_spec("m3u8_auto_paste_check", ControlKind::check_box, {10, 516, 130, 26},
                                       "自动粘贴网址"));
  spec.controls.push_back(control_spec("m3u8_clear_button", ControlKind::button, {160, 512, 130, 34},
                                       "清空所有网址"));
  ControlSpec filter = control_spec("m3u8_filter_duplicates_check", ControlKind::check_box, {310, 516, 200, 26},
                                    "确定时过滤重复地址");
  filter.checked = true;
  spec.controls.push_back(filter);
  spec.controls.push_back(control_spec("m3u8_ok_button", ControlKind::button, {830, 512, 130, 34}, "确定"));
  return spec;
}

WindowToken create_m3u8_batch_copy_dialog() {
  const WindowToken dialog = gui().create_window(build_m3u8_batch_copy_dialog());
  gui().bind(at(dialog, "m3u8_auto_paste_check"), EventKind::clicked, on_m3u8_auto_paste_clicked);
  gui().bind(at(dialog, m3u8_clipboard_timer), EventKind::timer_tick, on_m3u8_clipboard_timer);
  gui().bind(at(dialog, "m3u8_clear_button"), EventKind::clicked, on_m3u8_clear_clicked);
  gui().bind(at(dialog, "m3u8_ok_button"), EventKind::clicked, on_m3u8_ok_clicked);
  gui().bind(window_ref(dialog), EventKind::destroyed, on_m3u8_dialog_destroyed);
  return dialog;
}

void open_m3u8_batch_copy_dialog(WindowToken owner) {
  const WindowToken dialog = create_m3u8_batch_copy_dialog();
  gui().run_modal(dialog, owner);
}

void register_m3u8_batch_copy_dialog_opener() {
  set_dialog_opener(ProgramDialog::m3u8_batch_copy, [] { open_m3u8_batch_copy_dialog(); });
}

void on_m3u8_auto_paste_clicked(const GuiEvent& event) {
  const WindowToken dialog = event.target.window;
  const bool on = gui().checked(at(dialog, "m3u8_auto_paste_check"));
  gui().set_timer(dialog, m3u8_clipboard_timer, on ? m3u8_clipboard_interval_ms : 0);
}

void on_m3u8_clipboard_timer(const GuiEvent& event) {
  const WindowToken dialog = event.target.window;
  gui().set_timer(dialog, m3u8_clipboard_timer, 0);
  ClipboardService& clipboard = *gui_services().clipboard;
  const ControlRef box = at(dialog, "m3u8_address_box");
  const std::string found = collect_m3u8_addresses(clipboard.clipboard_text(), gui().text(box));
  if (!found.empty()) {
    // The addresses start a line of their own: glued to a last line without a line end
    // they would make one broken address of two.
    const std::string text = gui().text(box);
    gui().append_text(box, text.empty() || text.ends_with("\r\n") ? found : "\r\n" + found);
    clipboard.clear_clipboard();
  }
  if (gui().checked(at(dialog, "m3u8_auto_paste_check"))) {
    gui().set_timer(dialog, m3u8_clipboard_timer, m3u8_clipboard_interval_ms);
  }
}

void on_m3u8_clear_clicked(const GuiEvent& event) { gui().set_text(at(event.target.window, "m3u8_address_box"), ""); }

void on_m3u8_ok_clicked(const GuiEvent& event) {
  const WindowToken dialog = event.target.window;
  M3u8FillRequest request;
  request.dialog = dialog;
  request.box_text = gui().text(at(dialog, "m3u8_address_box"));
  if (request.box_text.find(".m3u8") == std::string::npos) return;
  request.convert_list = {main_window(), "convert_list"};
  request.filter_duplicates = gui().checked(at(dialog, "m3u8_filter_duplicates_check"));
  // One fill per dialog: the button stays off until the fill has closed the dialog.
  if (m3u8_fill_thread.start(std::move(request))) gui().set_enabled(at(dialog, "m3u8_ok_button"), false);
}

void on_m3u8_dialog_destroyed(const GuiEvent&) { m3u8_fill_thread.wait(); }

void fill_convert_list_from_m3u8(const M3u8FillRequest& request) {
  std::vector<std::string> listed;
  for (const ListRow& row : gui().list_rows(request.convert_list)) {
    listed.push_back(row.cells.size() > source_column ? row.cells[source_column] : std::string());
  }
  const std::vector<std::string> sources = m3u8_fill_sources(listed, request.box_text, request.filter_duplicates);
  gui().clear_rows(request.convert_list);
  for (const std::string& source : sources) {
    if (m3u8_fill_thread.stop_requested() || worker_shutdown_requested()) break;
    append_numbered_list_row(request.convert_list, source);
  }
  gui().request_close(request.dialog);
}

void fill_convert_list_from_m3u8_thread_entry(const M3u8FillRequest& request) {
  fill_convert_list_from_m3u8(request);
}

bool M3u8FillThread::start(M3u8FillRequest request) {
  {
    std::lock_guard lock(mutex_);
    if (running_) return false;
    running_ = true;
    stop_ = false;
  }
  // Registered with the program's worker threads as a thread that adds rows to a job
  // list, so that shutdown asks it to stop and waits for it like a folder scan.
  const bool started = start_worker_thread(
      WorkerKind::scan,
      [this, request = std::move(request)] {
        fill_convert_list_from_m3u8_thread_entry(request);
        finished();
      },
      [this] {
        std::lock_guard lock(mutex_);
        stop_ = true;
      });
  if (!started) finished();
  return started;
}

bool M3u8FillThread::running() const {
  std::lock_guard lock(mutex_);
  return running_;
}

bool M3u8FillThread::stop_requested() const {
  std::lock_guard lock(mutex_);
  return stop_;
}

void M3u8FillThread::wait() {
  std::unique_lock lock(mutex_);
  ended_.wait(lock, [this] { return !running_; });
}

void M3u8FillThread::finished() {
  std::lock_guard lock(mutex_);
  running_ = false;
  ended_.notify_all();
}
