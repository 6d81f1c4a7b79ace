#include "ui/job_lists.h"

#include <array>

#include "ui/main_window.h"
#include "ui/ui_globals.h"

std::atomic<int> current_list{0};

namespace {

const std::array<JobListInfo, 4>& job_list_table() {
  static const std::array<JobListInfo, 4> table = {{
      {.list = JobList::convert,
       .list_role = "convert_list",
       .page = 0,
       .add_videos_button = "convert_add_videos_button",
       .add_folder_button = "convert_add_folder_button",
       .delete_selected_button = "convert_delete_selected_button",
       .clear_button = "convert_clear_button",
       .select_all_button = "convert_select_all_button",
       .invert_button = "convert_invert_button",
       .open_dialog_title = "请选择要转换的视频",
       .folder_browser_title = "请选择视频所在的文件夹",
       .open_folder = &convert_list_open_folder,
       .open_folder_key = "打开位置1",
       .has_duration_column = false,
       .dialog_probes_duration = false,
       .start_button = "convert_start_button",
       .start_idle_caption = "开始转换",
       .delete_refusal = "正在转换视频，请勿删除！",
       .clear_refusal = "正在转换视频，请勿清空！"},
      {.list = JobList::merge1,
       .list_role = "merge_list1",
       .page = 1,
       .add_videos_button = "merge_add_videos1_button",
       .add_folder_button = "merge_add_folder1_button",
       .delete_selected_button = "merge_delete_selected1_button",
       .clear_button = "merge_clear1_button",
       .select_all_button = "merge_select_all1_button",
       .invert_button = "merge_invert1_button",
       .open_dialog_title = "请选择要合并的原视频１",
       .folder_browser_title = "请选择原视频１所在的文件夹",
       .open_folder = &merge_list1_open_folder,
       .open_folder_key = "打开位置2",
       .has_duration_column = true,
       .dialog_probes_duration = false,
       .start_button = "merge_start_button",
       .start_idle_caption = "开始合并",
       .delete_refusal = "正在合并视频，请勿删除！",
       .clear_refusal = "正在合并视频，请勿清空！"},
      {.list = JobList::merge2,
       .list_role = "merge_list2",
       .page = 1,
       .add_videos_button = "merge_add_videos2_button",
       .add_folder_button = "merge_add_folder2_button",
       .delete_selected_button = "merge_delete_selected2_button",
       .clear_button = "merge_clear2_button",
       .select_all_button = "merge_select_all2_button",
       .invert_button = "merge_invert2_button",
       .open_dialog_title = "请选择要合并的原视频２",
       .folder_browser_title = "请选择原视频２所在的文件夹",
       .open_folder = &merge_list2_open_folder,
       .open_folder_key = "打开位置3",
       .has_duration_column = true,
       .dialog_probes_duration = false,
       .start_button = "merge_start_button",
       .start_idle_caption = "开始合并",
       .delete_refusal = "正在合并视频，请勿删除！",
       .clear_refusal = "正在合并视频，请勿清空！"},
      {.list = JobList::edit,
       .list_role = "edit_list",
       .page = 2,
       .add_videos_button = "edit_add_videos_button",
       .add_folder_button = "edit_add_folder_button",
       .delete_selected_button = "edit_delete_selected_button",
       .clear_button = "edit_clear_button",
       .select_all_button = "edit_select_all_button",
       .invert_button = "edit_invert_button",
       .open_dialog_title = "请选择要剪辑的原视频１",
       .folder_browser_title = "请选择原视频所在的文件夹",
       .open_folder = &edit_list_open_folder,
       .open_folder_key = "打开位置4",
       .has_duration_column = true,
       .dialog_probes_duration = true,
       .start_button = "edit_start_button",
       .start_idle_caption = "开始剪辑",
       .delete_refusal = "正在剪辑视频，请勿删除！",
       .clear_refusal = "正在剪辑视频，请勿清空！"},
  }};
  return table;
}

}  // namespace

const JobListInfo& job_list_info(JobList list) { return job_list_table()[static_cast<std::size_t>(list) - 1]; }

ControlRef job_list_control(JobList list) { return job_list_control(main_window(), list); }

ControlRef job_list_control(WindowToken window, JobList list) { return {window, job_list_info(list).list_role}; }

std::optional<JobList> job_list_from_number(int number) {
  for (JobList list : all_job_lists)
    if (static_cast<int>(list) == number) return list;
  return std::nullopt;
}

bool job_runs_on_list(WindowToken window, JobList list) {
  const JobListInfo& info = job_list_info(list);
  return gui().text({window, info.start_button}) != info.start_idle_caption;
}

bool job_runs_on_list(JobList list) { return job_runs_on_list(main_window(), list); }

bool list_refuses_row_deletion(JobList list) {
  return job_runs_on_list(list) || !gui().enabled(main_control(job_list_info(list).add_videos_button));
}

RowRef append_job_list_row(WindowToken window, JobList list, const std::string& source) {
  return append_numbered_list_row(job_list_control(window, list), source);
}

void enable_list_button_unless_job_runs(WindowToken window, JobList list, const char* role) {
  if (!job_runs_on_list(window, list)) gui().set_enabled({window, role}, true);
}
