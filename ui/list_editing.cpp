#include "ui/list_editing.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/converter/worker_threads.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"

namespace {

// Per list: the id of the window whose rows are being deleted, 0 when none. Keyed by
// the window so that a deletion whose end never ran (its window went first) blocks no
// later window.
std::array<std::atomic<std::uint64_t>, 4> deletion_running{};

std::atomic<std::uint64_t>& deletion_of(JobList list) {
  return deletion_running[static_cast<std::size_t>(list) - 1];
}

void show_list_message(const char* text) { show_message_box(list_message_title, text, MessageButtons::ok, main_window()); }

void finish_row_deletion(WindowToken window, JobList list) {
  enable_list_button_unless_job_runs(window, list, job_list_info(list).delete_selected_button);
  std::uint64_t running = window.id;
  deletion_of(list).compare_exchange_strong(running, 0);
  update_job_list_count(list);
}

// The first selected row's source of the list `current_list` names; "" when none.
std::string current_list_selected_source() {
  const std::optional<JobList> list = job_list_from_number(current_list.load());
  if (!list) return {};
  const ControlRef control = job_list_control(*list);
  const int row = gui().first_selected_row(control);
  return row < 0 ? std::string() : gui().cell(control, row, source_column);
}

void open_context_menu(JobList list) {
  current_list = static_cast<int>(list);
  gui().popup_menu(main_control("list_context_menu"));
}

void play_row_of(JobList list) {
  current_list = static_cast<int>(list);
  play_selected_video();
}

void bind_click(WindowToken window, const char* role, void (*handler)()) {
  gui().bind({window, role}, EventKind::clicked, [handler](const GuiEvent&) { handler(); });
}

void bind_list_event(WindowToken window, JobList list, EventKind kind, void (*handler)()) {
  gui().bind(job_list_control(window, list), kind, [handler](const GuiEvent&) { handler(); });
}

}  // namespace

void bind_list_editing_handlers(WindowToken window) {
  GuiModel& model = gui();
  bind_click(window, "convert_select_all_button", select_all_convert_list_rows);
  bind_click(window, "merge_select_all1_button", on_merge_list1_select_all_clicked);
  bind_click(window, "merge_select_all2_button", on_merge_list2_select_all_clicked);
  bind_click(window, "edit_select_all_button", on_edit_select_all_clicked);
  bind_click(window, "convert_invert_button", on_convert_invert_clicked);
  bind_click(window, "merge_invert1_button", on_merge_list1_invert_clicked);
  bind_click(window, "merge_invert2_button", on_merge_list2_invert_clicked);
  bind_click(window, "edit_invert_button", on_edit_invert_clicked);
  bind_click(window, "convert_delete_selected_button", on_convert_delete_selected_clicked);
  bind_click(window, "merge_delete_selected1_button", on_merge_list1_delete_selected_clicked);
  bind_click(window, "merge_delete_selected2_button", on_merge_list2_delete_selected_clicked);
  bind_click(window, "edit_delete_selected_button", on_edit_delete_selected_clicked);
  bind_click(window, "convert_clear_button", on_convert_clear_clicked);
  bind_click(window, "merge_clear1_button", on_merge_list1_clear_clicked);
  bind_click(window, "merge_clear2_button", on_merge_list2_clear_clicked);
  bind_click(window, "edit_clear_button", on_edit_clear_clicked);

  bind_list_event(window, JobList::convert, EventKind::right_clicked, on_convert_list_right_clicked);
  bind_list_event(window, JobList::merge1, EventKind::right_clicked, on_merge_list1_right_clicked);
  bind_list_event(window, JobList::merge2, EventKind::right_clicked, on_merge_list2_right_clicked);
  bind_list_event(window, JobList::edit, EventKind::right_clicked, on_edit_list_right_clicked);
  bind_list_event(window, JobList::convert, EventKind::double_clicked, on_convert_list_double_clicked);
  bind_list_event(window, JobList::merge1, EventKind::double_clicked, on_merge_list1_double_clicked);
  bind_list_event(window, JobList::merge2, EventKind::double_clicked, on_merge_list2_double_clicked);
  bind_list_event(window, JobList::edit, EventKind::double_clicked, on_edit_list_double_clicked);
  model.bind_answer(job_list_control(window, JobList::convert), EventKind::key_down,
                    [](const GuiEvent& e) { return on_convert_list_key_down(e.key, e.modifiers); });

  const int play = main_window_menu_item_index("play_source_menu_item");
  const int open_folder = main_window_menu_item_index("open_source_folder_menu_item");
  const int remove = main_window_menu_item_index("delete_selected_menu_item");
  const int clear = main_window_menu_item_index("clear_list_menu_item");
  model.bind({window, "list_context_menu"}, EventKind::menu_chosen, [=](const GuiEvent& e) {
    if (e.value == play) play_selected_video();
    else if (e.value == open_folder) on_open_source_folder_menu_clicked();
    else if (e.value == remove) on_delete_selected_menu_clicked();
    else if (e.value == clear) on_clear_list_menu_clicked();
  });
}

void select_all_list_rows(JobList list) {
  const ControlRef control = job_list_control(list);
  gui().select_all_rows(control);
  gui().set_focus(control);
}

void invert_list_selection(JobList list) {
  const ControlRef control = job_list_control(list);
  gui().invert_row_selection(control);
  gui().set_focus(control);
}

bool delete_selected_list_rows(JobList list) {
  const JobListInfo& info = job_list_info(list);
  if (list_refuses_row_deletion(list)) {
    show_list_message(info.delete_refusal);
    return false;
  }
  const WindowToken window = main_window();
  std::uint64_t idle = 0;
  if (!deletion_of(list).compare_exchange_strong(idle, window.id)) return false;

  // The selection is read once, now; the rows are then deleted wherever they stand.
  const ControlRef control = job_list_control(window, list);
  const std::vector<RowId> rows = gui().selected_row_ids(control);

  const ControlRef button{window, info.delete_selected_button};
  gui().set_enabled(button, false);
  const bool started = start_worker_thread(WorkerKind::scan, [window, list, control, rows] {
    gui().delete_rows_by_id(control, rows);
    gui().post_to_window(window, [window, list] { finish_row_deletion(window, list); });
  });
  if (!started) {
    gui().set_enabled(button, true);
    deletion_of(list) = 0;
  }
  return started;
}

bool clear_job_list(JobList list) {
  if (list_refuses_row_deletion(list)) {
    show_list_message(job_list_info(list).clear_refusal);
    return false;
  }
  gui().clear_rows(job_list_control(list));
  update_job_list_count(list);
  return true;
}

std::string play_target(const std::string& source) {
  if (file_extension(source) == ".m3u8") return std::string(m3u8_player_page_address) + "/?play=" + source;
  return source;
}

void select_all_convert_list_rows() { select_all_list_rows(JobList::convert); }
void on_merge_list1_select_all_clicked() { select_all_list_rows(JobList::merge1); }
void on_merge_list2_select_all_clicked() { select_all_list_rows(JobList::merge2); }
void on_edit_select_all_clicked() { select_all_list_rows(JobList::edit); }

void on_convert_invert_clicked() { invert_list_selection(JobList::convert); }
void on_merge_list1_invert_clicked() { invert_list_selection(JobList::merge1); }
void on_merge_list2_invert_clicked() { invert_list_selection(JobList::merge2); }
void on_edit_invert_clicked() { invert_list_selection(JobList::edit); }

void on_convert_delete_selected_clicked() { delete_selected_list_rows(JobList::convert); }
void on_merge_list1_delete_selected_clicked() { delete_selected_list_rows(JobList::merge1); }
void on_merge_list2_delete_selected_clicked() { delete_selected_list_rows(JobList::merge2); }
void on_edit_delete_selected_clicked() { delete_selected_list_rows(JobList::edit); }

void on_convert_clear_clicked() { clear_job_list(JobList::convert); }
void on_merge_list1_clear_clicked() { clear_job_list(JobList::merge1); }
void on_merge_list2_clear_clicked() { clear_job_list(JobList::merge2); }
void on_edit_clear_clicked() { clear_job_list(JobList::edit); }

void on_convert_list_right_clicked() { open_context_menu(JobList::convert); }
void on_merge_list1_right_clicked() { open_context_menu(JobList::merge1); }
void on_merge_list2_right_clicked() { open_context_menu(JobList::merge2); }
void on_edit_list_right_clicked() { open_context_menu(JobList::edit); }

void on_convert_list_double_clicked() { play_row_of(JobList::convert); }
void on_merge_list1_double_clicked() { play_row_of(JobList::merge1); }
void on_merge_list2_double_clicked() { play_row_of(JobList::merge2); }
void on_edit_list_double_clicked() { play_row_of(JobList::edit); }

bool on_convert_list_key_down(int key, int modifiers) {
  if (key == key_codes::a && modifiers == key_modifiers::ctrl) {
    select_all_convert_list_rows();
    return true;
  }
  if (key == key_codes::delete_key) {
    delete_selected_list_rows(JobList::convert);
    return true;
  }
  return false;
}

void play_selected_video() {
  const std::string source = current_list_selected_source();
  if (source.empty()) return;
  gui_services().shell->shell_open(play_target(source));
}

void on_open_source_folder_menu_clicked() {
  const std::string source = current_list_selected_source();
  const std::string folder = parent_folder(source);
  // Only a folder of this computer: a stream address has a "folder" too, and a relative
  // text would name something under the current folder.
  if (folder.empty() || folder.front() != '/' || !is_directory(folder)) return;
  gui_services().shell->shell_open(folder);
}

void on_delete_selected_menu_clicked() {
  if (const std::optional<JobList> list = job_list_from_number(current_list.load())) delete_selected_list_rows(*list);
}

void on_clear_list_menu_clicked() {
  if (const std::optional<JobList> list = job_list_from_number(current_list.load())) clear_job_list(*list);
}
