#include "engine/merge/merge_parts.h"

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/converter_runner.h"
#include "engine/converter/media_probes.h"
#include "engine/merge/merge_commands.h"
#include "platform/files.h"
#include "platform/gui/gui.h"

namespace {

// Column 1 holds the source, column 2 the duration.
constexpr int source_column = 1;
constexpr int duration_column = 2;

// One re-encoded file of a side.
struct PartFile {
  std::string file;
  FrameSize size;
  std::string frame_rate;
  MergeSound sound;
  std::string duration;  // of the source, as the duration probe gives it
  bool made = false;
};

// Re-encodes `source` into `part` and reads from the console text the part's frame
// size (the merge job's rule on the written stream, so a rotated source gives the size
// it shows, not the size it stores), the frame rate, and the source's duration: the
// re-encode has the source as its first input and prints its duration as the duration
// probe would, so the source is not run a second time for it.
PartFile reencode(const std::string& source, const std::string& part) {
  PartFile result;
  result.file = part;
  const std::string command = merge_reencode_command(ffmpeg_global_options.get(), source, part);
  const int exit_status = run_merge_command(command, true);
  const std::string console = ffmpeg_output.get();
  result.duration = command.empty() ? probe_duration(source) : duration_in_console(console);
  result.size = parse_output_frame_size(console);
  result.frame_rate = parse_frame_rate(console);
  result.sound = parse_output_sound(console);
  result.made = exit_status == 0 && file_has_content(part);
  return result;
}

// What `file` needs to join after the first part `first`: scaling to its size (always
// with `always_scale`, else when the sizes differ), and its sound and frame rate where
// they differ (and both are known).
MergePartMatch match_to_first(const PartFile& file, const MergePart& first, bool always_scale) {
  MergePartMatch match;
  match.scale = always_scale || !(file.size == first.size);
  match.width = first.size.width;
  match.height = first.size.height;
  if (!file.sound.empty() && !first.sound.empty() && !(file.sound == first.sound)) match.sound = first.sound;
  if (!file.frame_rate.empty() && !first.frame_rate.empty() && file.frame_rate != first.frame_rate) {
    match.frame_rate = first.frame_rate;
  }
  return match;
}

// Brings `part` to `match` into `matched`; true when it was made.
bool bring_to(const std::string& part, const std::string& matched, const MergePartMatch& match) {
  const std::string command = merge_match_command(ffmpeg_global_options.get(), part, matched, match);
  return run_merge_command(command) == 0 && file_has_content(matched);
}

// Writes the concat list of `files` into folder + "filelist.txt" and joins them into
// folder + "output.mkv"; the joined file, or "" when it could not be made.
std::string join_side(const std::string& folder, const std::vector<std::string>& files) {
  const std::string list = folder + "filelist.txt";
  const std::string output = folder + "output.mkv";
  const std::string text = merge_concat_list_text(files, true);
  if (files.empty() || text.empty() || !replace_file_contents(list, text)) return {};
  const int exit_status = run_merge_command(merge_concat_command(ffmpeg_global_options.get(), list, output));
  return exit_status == 0 && file_has_content(output) ? output : std::string();
}

std::string source_of(const MergeJobState& state, const char* list, RowId row) {
  return gui().cell_by_id(ControlRef{state.window, list}, row, source_column);
}

void note_rate(MergePart& part, const std::string& rate, bool first) {
  if (first) {
    part.frame_rate = rate;
  } else if (rate != part.frame_rate) {
    part.uniform_rate = false;
  }
}

}  // namespace

int run_merge_command(const std::string& command, bool with_console) {
  if (command.empty()) return -1;
  int exit_status = -1;
  std::string console;
  run_console_capture(ffmpeg_exe_path.get(), command, nullptr, nullptr, with_console ? &console : nullptr,
                      &exit_status);
  if (with_console) ffmpeg_output.set(console);
  return exit_status;
}

bool file_has_content(const std::string& path) {
  const auto length = file_length(path);
  return length && *length > 0 && is_regular_file(path);
}

MergePart make_first_merge_part(MergeJobState& state, int i, bool whole_list) {
  GuiModel& model = gui();
  const ControlRef list{state.window, "merge_list1"};
  const bool title_from_here = model.checked({state.window, "merge_title_from_source1_radio"});
  MergePart part;
  if (!whole_list) {
    const RowId row = state.rows1[static_cast<std::size_t>(i - 1)];
    const std::string source = source_of(state, "merge_list1", row);
    if (title_from_here) state.title = file_name_from_path(source);
    part.work_name = file_name_from_path(source);
    const PartFile file = reencode(source, state.first_folder + std::to_string(i) + ".mkv");
    model.set_cell_by_id(list, row, duration_column, file.duration);
    part.size = file.size;
    part.frame_rate = file.frame_rate;
    part.sound = file.sound;
    if (file.made) part.file = file.file;
    return part;
  }

  if (title_from_here && !state.rows1.empty()) state.title = file_name_from_path(source_of(state, "merge_list1", state.rows1[0]));
  std::vector<std::string> files;
  for (std::size_t k = 1; k <= state.rows1.size(); ++k) {
    const RowId row = state.rows1[k - 1];
    const std::string source = source_of(state, "merge_list1", row);
    part.work_name = file_name_from_path(source);
    const std::string number = state.first_folder + std::to_string(k);
    const PartFile file = reencode(source, number + ".mkv");
    model.set_cell_by_id(list, row, duration_column, file.duration);
    if (k == 1) {
      note_rate(part, file.frame_rate, true);
      part.size = file.size;
      part.sound = file.sound;
      if (!file.made) return part;
      files.push_back(file.file);
      continue;
    }
    // Every file after the first is scaled, whatever its size.
    const MergePartMatch match = match_to_first(file, part, true);
    note_rate(part, match.frame_rate.empty() ? file.frame_rate : match.frame_rate, false);
    if (!file.made || !bring_to(file.file, number + "a.mkv", match)) return part;
    files.push_back(number + "a.mkv");
  }
  part.file = join_side(state.first_folder, files);
  return part;
}

MergePart make_second_merge_part(MergeJobState& state, int j, bool whole_list, const MergePart& first) {
  GuiModel& model = gui();
  const ControlRef list{state.window, "merge_list2"};
  const bool title_from_here = model.checked({state.window, "merge_title_from_source2_radio"});
  MergePart part;

  // Re-encodes row k into T2 + k + ".mkv" and scales it when its size differs from the
  // first part's; the file to use, or "" when it could not be made.
  auto make_file = [&](std::size_t k, bool keep_duration) -> std::string {
    const RowId row = state.rows2[k - 1];
    const std::string source = source_of(state, "merge_list2", row);
    part.work_name = file_name_from_path(source);
    const std::string number = state.pair_folder + std::to_string(k);
    const PartFile file = reencode(source, number + ".mkv");
    if (!keep_duration || model.cell_by_id(list, row, duration_column).empty()) {
      model.set_cell_by_id(list, row, duration_column, file.duration);
    }
    const MergePartMatch match = match_to_first(file, first, false);
    note_rate(part, match.frame_rate.empty() ? file.frame_rate : match.frame_rate, k == 1 || !whole_list);
    if (!file.made) return {};
    if (!match.needed()) return file.file;
    return bring_to(file.file, number + "a.mkv", match) ? number + "a.mkv" : std::string();
  };

  if (!whole_list) {
    const std::size_t row = static_cast<std::size_t>(j);
    if (title_from_here) state.title = file_name_from_path(source_of(state, "merge_list2", state.rows2[row - 1]));
    part.file = make_file(row, true);
    return part;
  }

  if (title_from_here && !state.rows2.empty()) state.title = file_name_from_path(source_of(state, "merge_list2", state.rows2[0]));
  std::vector<std::string> files;
  for (std::size_t k = 1; k <= state.rows2.size(); ++k) {
    const std::string file = make_file(k, false);
    if (file.empty()) return part;
    files.push_back(file);
  }
  part.file = join_side(state.pair_folder, files);
  return part;
}
