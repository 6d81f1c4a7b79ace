#include "ui/list_counts.h"

#include <string>
#include <utility>

#include "ui/installed_call.h"
#include "ui/main_window.h"

namespace {

InstalledCall edit_options_refresh;

// The number of parts a merge list gives: 1 when it is merged whole and has rows.
int merge_parts(int rows, bool merged_whole) { return merged_whole && rows > 0 ? 1 : rows; }

}  // namespace

std::string list_count_text(int rows) { return "共 " + std::to_string(rows) + " 个视频"; }

void update_merge_counts() {
  GuiModel& model = gui();
  const int rows1 = model.row_count(job_list_control(JobList::merge1));
  const int rows2 = model.row_count(job_list_control(JobList::merge2));
  model.set_text(main_control("merge_list1_count_label"), list_count_text(rows1));
  model.set_text(main_control("merge_list2_count_label"), list_count_text(rows2));

  const ControlRef all1 = main_control("merge_all_source1_check");
  const ControlRef all2 = main_control("merge_all_source2_check");
  const int outputs = merge_parts(rows1, model.checked(all1)) * merge_parts(rows2, model.checked(all2));
  model.set_text(main_control("merge_output_count_label"), std::to_string(outputs));

  if (job_runs_on_list(JobList::merge1)) return;
  model.set_enabled(all1, rows1 > 1);
  model.set_enabled(all2, rows2 > 1);
  model.set_enabled(main_control("merge_start_button"), outputs > 0);
}

void update_edit_list_count() {
  gui().set_text(main_control("edit_list_count_label"), list_count_text(gui().row_count(job_list_control(JobList::edit))));
  if (job_runs_on_list(JobList::edit)) return;
  edit_options_refresh.run();
}

void update_job_list_count(JobList list) {
  switch (list) {
    case JobList::merge1:
    case JobList::merge2:
      update_merge_counts();
      break;
    case JobList::edit:
      update_edit_list_count();
      break;
    case JobList::convert:
      break;
  }
}

void set_edit_options_refresh(std::function<void()> refresh) { edit_options_refresh.install(std::move(refresh)); }
