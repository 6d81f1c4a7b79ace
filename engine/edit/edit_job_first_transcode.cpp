#include "engine/edit/edit_job_first_transcode.h"

#include <array>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/frame_size.h"
#include "engine/edit/edit_job_command.h"
#include "platform/files.h"

namespace {

bool work_file_made(const std::string& path) { return path_exists(path) && get_file_size(path) >= 1; }

bool copy_into_first_work_file(const EditVideoState& state, const std::string& source_console) {
  if (!copy_file(state.source, state.work_file_a, false)) return false;
  if (!source_console.empty()) {
    ffmpeg_output.set(source_console);
  } else {
    // Only the console text is wanted: the converter reads the source's streams and
    // stops for want of an output.
    EditCommand probe;
    probe.text(" -i ").path(state.source);
    EditRunOptions options;
    options.collect_console = true;
    run_edit_command(probe, options);
  }
  return work_file_made(state.work_file_a);
}

bool transcode_into_first_work_file(const EditVideoState& state) {
  constexpr std::array<const char*, 3> video_options = {" -vcodec h264", " -c:v libx264", " -vcodec copy"};
  EditRunOptions options;
  options.collect_console = true;
  for (const char* video : video_options) {
    EditCommand command;
    command.text(" -i ").path(state.source).text(video).text(" -y ").path(state.work_file_a);
    if (!command.usable()) return false;
    const int exit_status = run_edit_command(command, options);
    if (exit_status == 0 && work_file_made(state.work_file_a)) return true;
  }
  return false;
}

}  // namespace

bool make_first_work_file(EditVideoState& state, const std::string& source_console) {
  delete_file(state.work_file_a);
  delete_file(state.work_file_b);
  ffmpeg_output.set("");
  const bool copied = state.source_extension == ".mp4" || state.source_extension == ".mkv";
  const bool made = copied ? copy_into_first_work_file(state, source_console) : transcode_into_first_work_file(state);
  read_edit_frame_size(state);
  state.current = 1;
  return made;
}

void read_edit_frame_size(EditVideoState& state) {
  std::string console = ffmpeg_output.get();
  const FrameSize size = parse_frame_size(console);
  ffmpeg_output.set(console);
  state.width = size.width;
  state.height = size.height;
}
