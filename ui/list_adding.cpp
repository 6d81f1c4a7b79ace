#include "ui/list_adding.h"

#include <algorithm>
#include <thread>
#include <vector>

#include "engine/common/file_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/converter/worker_threads.h"
#include "engine/window/file_dialogs.h"
#include "platform/profile.h"
#include "ui/list_counts.h"
#include "ui/main_window.h"

namespace {

// The names of a dropped text: split at "\r\n", empty pieces left out.
std::vector<std::string> dropped_names(const std::string& text) {
  std::vector<std::string> names;
  const std::string separator = "\r\n";
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t end = text.find(separator, start);
    if (end == std::string::npos) end = text.size();
    if (end > start) names.push_back(text.substr(start, end - start));
    start = end + separator.size();
  }
  return names;
}

// The dropped names that are videos and not folders, in their order. Asking the file
// system about every name is most of a large drop's time, so a drop of thousands of
// names asks on a few threads at once while the UI thread waits for them.
std::vector<std::string> dropped_videos(std::vector<std::string> names) {
  std::vector<char> keep(names.size(), 0);
  const auto check = [&names, &keep](std::size_t begin, std::size_t end) {
    // A folder whose name ends like a video is still a folder.
    for (std::size_t i = begin; i < end; ++i) keep[i] = is_video_file(names[i]) && !is_directory(names[i]);
  };
  constexpr std::size_t names_a_thread = 2000;
  const std::size_t wanted = (names.size() + names_a_thread - 1) / names_a_thread;
  const std::size_t threads = std::clamp<std::size_t>(std::min<std::size_t>(wanted, std::thread::hardware_concurrency()), 1, 8);
  const std::size_t slice = (names.size() + threads - 1) / threads;
  {
    std::vector<std::jthread> helpers;
    for (std::size_t t = 1; t < threads; ++t)
      helpers.emplace_back(check, std::min(t * slice, names.size()), std::min((t + 1) * slice, names.size()));
    check(0, std::min(slice, names.size()));
  }
  std::vector<std::string> videos;
  for (std::size_t i = 0; i < names.size(); ++i) {
    if (keep[i]) videos.push_back(std::move(names[i]));
  }
  return videos;
}

void finish_folder_scan(WindowToken window, JobList list) {
  enable_list_button_unless_job_runs(window, list, job_list_info(list).add_folder_button);
  update_job_list_count(list);
}

void run_folder_scan(WindowToken window, JobList list, const std::string& folder) {
  switch (list) {
    case JobList::convert:
      scan_folder_into_convert_list(window, folder);
      break;
    case JobList::merge1:
      scan_folder_into_merge_list1(window, folder);
      break;
    case JobList::merge2:
      scan_folder_into_merge_list2(window, folder);
      break;
    case JobList::edit:
      scan_folder_into_edit_list(window, folder);
      break;
  }
}

void bind_click(WindowToken window, const char* role, void (*handler)()) {
  gui().bind({window, role}, EventKind::clicked, [handler](const GuiEvent&) { handler(); });
}

void bind_drop(WindowToken window, JobList list, void (*handler)(const std::string&)) {
  gui().bind(job_list_control(window, list), EventKind::files_dropped,
             [handler](const GuiEvent& e) { handler(e.text); });
}

}  // namespace

void bind_list_adding_handlers(WindowToken window) {
  bind_click(window, "convert_add_videos_button", on_convert_add_videos_clicked);
  bind_click(window, "merge_add_videos1_button", on_merge_add_videos1_clicked);
  bind_click(window, "merge_add_videos2_button", on_merge_add_videos2_clicked);
  bind_click(window, "edit_add_videos_button", on_edit_add_videos_clicked);
  bind_drop(window, JobList::convert, on_convert_list_files_dropped);
  bind_drop(window, JobList::merge1, on_merge_list1_files_dropped);
  bind_drop(window, JobList::merge2, on_merge_list2_files_dropped);
  bind_drop(window, JobList::edit, on_edit_list_files_dropped);
  bind_click(window, "convert_add_folder_button", on_convert_add_folder_clicked);
  bind_click(window, "merge_add_folder1_button", on_merge_add_folder1_clicked);
  bind_click(window, "merge_add_folder2_button", on_merge_add_folder2_clicked);
  bind_click(window, "edit_add_folder_button", on_edit_add_folder_clicked);
}

void add_videos_through_dialog(JobList list) {
  const JobListInfo& info = job_list_info(list);
  const WindowToken window = main_window();
  GuiModel& model = gui();
  const ControlRef button{window, info.add_videos_button};
  const ControlRef control = job_list_control(window, list);
  model.set_enabled(button, false);

  const std::vector<std::string> paths =
      choose_open_files(window, info.open_dialog_title, video_open_filter, info.open_folder->get());
  for (const std::string& path : paths) {
    const RowRef row = append_job_list_row(window, list, path);
    // The probe lets window events run meanwhile; the row is found by its id afterwards.
    if (info.dialog_probes_duration && !worker_shutdown_requested())
      model.set_cell_by_id(control, row.id, duration_column, probe_duration(path));
  }
  if (!paths.empty()) {
    const std::string folder = parent_folder(paths.front());
    info.open_folder->set(folder);
    write_profile_text(config_file_path.get(), open_folder_settings_section, info.open_folder_key, folder);
  }

  enable_list_button_unless_job_runs(window, list, info.add_videos_button);
  update_job_list_count(list);
}

void add_dropped_files(JobList list, const std::string& dropped_text) {
  if (dropped_text.empty()) return;
  // The rows come in one step, numbered in the order they were dropped.
  append_numbered_list_rows(job_list_control(main_window(), list), dropped_videos(dropped_names(dropped_text)));
  update_job_list_count(list);
}

void start_folder_scan(JobList list) {
  const JobListInfo& info = job_list_info(list);
  const std::string folder = choose_folder({}, info.folder_browser_title);
  if (folder.empty()) return;
  const WindowToken window = main_window();
  const ControlRef button{window, info.add_folder_button};
  gui().set_enabled(button, false);
  // The folder goes to the thread by value: a later click cannot change it.
  const bool started = start_worker_thread(WorkerKind::scan, [window, list, folder] {
    run_folder_scan(window, list, folder);
    gui().post_to_window(window, [window, list] { finish_folder_scan(window, list); });
  });
  if (!started) gui().set_enabled(button, true);
}

void scan_folder_into_list(WindowToken window, JobList list, const std::string& folder) {
  const JobListInfo& info = job_list_info(list);
  GuiModel& model = gui();
  const ControlRef control = job_list_control(window, list);

  std::vector<std::string> folders;
  list_subfolders(folder, folders);
  folders.push_back(folder);
  std::vector<std::string> files;
  for (const std::string& each : folders) {
    enumerate_files(each, "*.*", files);
    for (const std::string& file : files) {
      if (worker_shutdown_requested()) return;
      if (!is_video_file(file)) continue;
      const RowRef row = append_job_list_row(window, list, file);
      if (const int index = model.row_index(control, row.id); index >= 0) model.scroll_to_row(control, index);
      if (info.has_duration_column) model.set_cell_by_id(control, row.id, duration_column, probe_duration(file));
    }
  }
}

void on_convert_add_videos_clicked() { add_videos_through_dialog(JobList::convert); }
void on_merge_add_videos1_clicked() { add_videos_through_dialog(JobList::merge1); }
void on_merge_add_videos2_clicked() { add_videos_through_dialog(JobList::merge2); }
void on_edit_add_videos_clicked() { add_videos_through_dialog(JobList::edit); }

void on_convert_list_files_dropped(const std::string& dropped_text) { add_dropped_files(JobList::convert, dropped_text); }
void on_merge_list1_files_dropped(const std::string& dropped_text) { add_dropped_files(JobList::merge1, dropped_text); }
void on_merge_list2_files_dropped(const std::string& dropped_text) { add_dropped_files(JobList::merge2, dropped_text); }
void on_edit_list_files_dropped(const std::string& dropped_text) { add_dropped_files(JobList::edit, dropped_text); }

void on_convert_add_folder_clicked() { start_folder_scan(JobList::convert); }
void on_merge_add_folder1_clicked() { start_folder_scan(JobList::merge1); }
void on_merge_add_folder2_clicked() { start_folder_scan(JobList::merge2); }
void on_edit_add_folder_clicked() { start_folder_scan(JobList::edit); }

void scan_folder_into_convert_list(WindowToken window, const std::string& folder) {
  scan_folder_into_list(window, JobList::convert, folder);
}
void scan_folder_into_merge_list1(WindowToken window, const std::string& folder) {
  scan_folder_into_list(window, JobList::merge1, folder);
}
void scan_folder_into_merge_list2(WindowToken window, const std::string& folder) {
  scan_folder_into_list(window, JobList::merge2, folder);
}
void scan_folder_into_edit_list(WindowToken window, const std::string& folder) {
  scan_folder_into_list(window, JobList::edit, folder);
}
