#include "engine/merge/merge_job.h"

#include <array>
#include <charconv>
#include <string>
#include <utility>
#include <vector>

#include "engine/common/globals.h"
#include "engine/converter/worker_threads.h"
#include "engine/merge/merge_pair.h"
#include "engine/merge/merge_parts.h"
#include "engine/merge/merge_work_folders.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/gui.h"

namespace {

// The controls the job disables while it runs.
constexpr std::array<const char*, 12> job_locked_controls = {
    "merge_all_source1_check",  "merge_all_source2_check",       "merge_add_videos1_button",
    "merge_add_folder1_button", "merge_delete_selected1_button", "merge_clear1_button",
    "merge_add_videos2_button", "merge_add_folder2_button",      "merge_delete_selected2_button",
    "merge_clear2_button",      "convert_page_button",           "edit_page_button"};

// The format radios in the order they are read; none checked keeps the last job's.
constexpr std::array<std::pair<const char*, const char*>, 6> format_radios = {{
    {"merge_format_mp4_radio", "mp4"},
    {"merge_format_flv_radio", "flv"},
    {"merge_format_mov_radio", "mov"},
    {"merge_format_mkv_radio", "mkv"},
    {"merge_format_ts_radio", "ts"},
    {"merge_format_wmv_radio", "wmv"},
}};

constexpr std::array<const char*, 4> progress_strip = {"overall_progress_bar", "overall_progress_label",
                                                      "file_progress_bar", "file_progress_label"};

// The whole number at the start of a text (a fraction dropped); 0 when there is none.
int leading_count(const std::string& text) {
  int value = 0;
  const auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  return result.ec == std::errc() && value > 0 ? value : 0;
}

bool stop_seen() { return stop_requested || worker_shutdown_requested(); }

std::vector<RowId> row_ids(const ControlRef& list) {
  std::vector<RowId> ids;
  for (const ListRow& row : gui().list_rows(list)) ids.push_back(row.id);
  return ids;
}

std::vector<std::string> sources_of(const ControlRef& list) {
  std::vector<std::string> sources;
  for (const ListRow& row : gui().list_rows(list)) {
    if (row.cells.size() > 1) sources.push_back(row.cells[1]);
  }
  return sources;
}

// Outer and inner count: 1 for a list joined whole (none without rows), else its rows.
int part_count(bool whole_list, std::size_t rows) {
  if (whole_list) return rows > 0 ? 1 : 0;
  return static_cast<int>(rows);
}

// Makes every pair; the number of pairs that left no output. `folder_unusable` tells
// that the job ended at a pair folder it could not use.
int run_pairs(MergeJobState& state, int outer, int inner, bool& folder_unusable) {
  GuiModel& model = gui();
  const WindowToken window = state.window;
  const std::string run = run_folder.get();
  int pair = 0;
  int failed = 0;
  // The previous pair's read-back runs while this pair's parts are made; its result is
  // shown before this pair's own display begins.
  MergePairVerdict previous;
  const auto settle_previous = [&] {
    if (previous.show() == MergePairVerdict::Result::failed) ++failed;
  };
  [&] {
    for (int i = 1; i <= outer; ++i) {
      const MergePart first = make_first_merge_part(state, i, model.checked({window, "merge_all_source1_check"}));
      for (int j = 1; j <= inner; ++j) {
        const bool folder_ready = prepare_merge_work_folder(state.pair_folder, run, state.listed_sources);
        // A first part that could not be made fails every pair of it: nothing is
        // re-encoded for a join that cannot happen.
        MergePart second;
        if (folder_ready && !first.file.empty()) {
          second = make_second_merge_part(state, j, model.checked({window, "merge_all_source2_check"}), first);
        }
        settle_previous();
        ++pair;
        model.set_value({window, "overall_progress_bar"}, pair);
        model.set_text({window, "overall_progress_label"},
                       std::to_string(pair) + " / " + model.text({window, "merge_output_count_label"}));
        model.set_value({window, "file_progress_bar"}, 0);
        model.set_text({window, "file_progress_label"}, "0 %");
        if (!folder_ready) {
          model.set_text({window, "file_progress_label"}, merge_status_work_folder_unusable);
          folder_unusable = true;
          return;
        }
        previous = make_merge_pair_output(state, first, second, i, j);
        if (stop_seen()) return;
      }
      if (stop_seen()) return;
    }
  }();
  settle_previous();
  return failed;
}

}  // namespace

std::string merge_failed_pairs_text(int failed) { return std::to_string(failed) + " 个合并失败"; }

void on_merge_start_stop_clicked(const GuiEvent& event) {
  GuiModel& model = gui();
  const WindowToken window = event.target.window;
  const ControlRef button{window, "merge_start_button"};
  const std::string caption = model.text(button);
  if (caption == merge_start_caption) {
    stop_requested = false;
    model.set_text(button, merge_stop_caption);
    model.set_picture(button, load_program_picture(stop_picture_path));
    model.set_text({window, "file_progress_label"}, "0 %");
    model.set_value({window, "file_progress_bar"}, 0);
    const std::string count = model.text({window, "merge_output_count_label"});
    model.set_text({window, "overall_progress_label"}, "1 / " + count);
    model.set_range({window, "overall_progress_bar"}, 0, leading_count(count));
    model.set_value({window, "overall_progress_bar"}, 0);
    for (const char* role : progress_strip) model.set_visible({window, role}, true);
    const bool started = start_worker_thread(
        WorkerKind::merge, [window] { batch_merge_videos_thread_entry(window); }, [] { stop_requested = true; });
    if (!started) {  // shutdown has begun
      for (const char* role : progress_strip) model.set_visible({window, role}, false);
      model.set_picture(button, load_program_picture(merge_idle_picture_path));
      model.set_text(button, merge_start_caption);
    }
  } else if (caption == merge_stop_caption) {
    model.set_text(button, merge_stopping_caption);
    model.set_enabled(button, false);
    stop_requested = true;
  }
}

void batch_merge_videos_thread_entry(WindowToken window) { batch_merge_videos(window); }

void batch_merge_videos(WindowToken window) {
  GuiModel& model = gui();
  for (const char* role : job_locked_controls) model.set_enabled({window, role}, false);
  for (const auto& [role, format] : format_radios) {
    if (model.checked({window, role})) {
      output_format.set(format);
      break;
    }
  }

  MergeJobState state;
  state.window = window;
  const ControlRef list1{window, "merge_list1"};
  const ControlRef list2{window, "merge_list2"};
  state.rows1 = row_ids(list1);
  state.rows2 = row_ids(list2);
  state.listed_sources = sources_of(list1);
  for (std::string& source : sources_of(list2)) state.listed_sources.push_back(std::move(source));
  const int outer = part_count(model.checked({window, "merge_all_source1_check"}), state.rows1.size());
  const int inner = part_count(model.checked({window, "merge_all_source2_check"}), state.rows2.size());

  const std::string run = run_folder.get();
  state.first_folder = merge_work_folder(run, merge_first_parts_folder_name);
  state.pair_folder = merge_work_folder(run, merge_pair_folder_name);
  // What the per-file label keeps showing after the job; "" hides it with the strip.
  std::string end_text;
  if (outer > 0 && inner > 0) {
    if (prepare_merge_work_folder(state.first_folder, run, state.listed_sources)) {
      bool folder_unusable = false;
      const int failed = run_pairs(state, outer, inner, folder_unusable);
      if (folder_unusable) {
        end_text = merge_status_work_folder_unusable;
      } else if (failed > 0) {
        end_text = merge_failed_pairs_text(failed);
      }
    } else {
      model.set_value({window, "file_progress_bar"}, 0);
      end_text = merge_status_work_folder_unusable;
    }
    remove_merge_work_folder(state.first_folder, run, state.listed_sources);
  }

  for (const char* role : progress_strip) model.set_visible({window, role}, false);
  if (!end_text.empty()) {
    const ControlRef label{window, "file_progress_label"};
    model.set_text(label, end_text);
    model.set_visible(label, true);
  }
  for (const char* role : job_locked_controls) model.set_enabled({window, role}, true);
  // The button last: once it reads "开始合并" again, the job has written everything.
  const ControlRef button{window, "merge_start_button"};
  model.set_picture(button, load_program_picture(merge_idle_picture_path));
  model.set_enabled(button, true);
  model.set_text(button, merge_start_caption);
}
