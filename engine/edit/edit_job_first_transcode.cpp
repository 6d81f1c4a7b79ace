#include "engine/edit/edit_job_first_transcode.h"

#include <array>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/converter/frame_size.h"
#include "engine/converter/video_stream_line.h"
#include "engine/edit/edit_job_command.h"
#include "platform/files.h"

namespace {

bool work_file_made(const std::string& path) { return path_exists(path) && get_file_size(path) >= 1; }

// The console text of a converter run with `path` as its only input (no output: the
// converter lists the streams and stops), kept in `ffmpeg_output`.
void read_streams_into_ffmpeg_output(const std::string& path) {
  EditCommand probe;
  probe.text(" -i ").path(path);
  EditRunOptions options;
  options.collect_console = true;
  run_edit_command(probe, options);
}

bool copy_into_first_work_file(const EditVideoState& state, const std::string& source_console) {
  ffmpeg_output.set(source_console);
  return copy_file(state.source, state.work_file_a, false) && work_file_made(state.work_file_a);
}

bool transcode_into_first_work_file(const EditVideoState& state) {
  // The encodes give every picture the shape each later step and player needs: even
  // sides (the first column or row past an even size is dropped) and 8-bit 4:2:0. The
  // converter turns a rotated picture upright as it decodes.
  const std::string picture = std::string(" -vf ") + first_work_file_even_crop + " -pix_fmt yuv420p";
  const std::array<std::string, 3> video_options = {" -vcodec h264" + picture, " -c:v libx264" + picture,
                                                    " -vcodec copy"};
  EditRunOptions options;
  options.collect_console = true;
  for (const std::string& video : video_options) {
    EditCommand command;
    command.text(" -i ").path(state.source).text(video).text(" -y ").path(state.work_file_a);
    if (!command.usable()) return false;
    const int exit_status = run_edit_command(command, options);
    if (exit_status == 0 && work_file_made(state.work_file_a)) return true;
  }
  return false;
}

}  // namespace

bool source_picture_copyable(const std::string& console_text) {
  const VideoStreamLine video = read_video_stream_line(console_text);
  const bool eight_bit_420 = video.pixel_format == "yuv420p" || video.pixel_format == "yuvj420p";
  return video.found && video.codec == "h264" && eight_bit_420 && video.width > 0 && video.height > 0 &&
         video.width % 2 == 0 && video.height % 2 == 0 && video.rotation == 0;
}

bool make_first_work_file(EditVideoState& state, const std::string& source_console) {
  delete_file(state.work_file_a);
  delete_file(state.work_file_b);
  ffmpeg_output.set("");
  bool made = false;
  bool copied = false;
  if (state.source_extension == ".mp4" || state.source_extension == ".mkv") {
    std::string console = source_console;
    if (console.empty()) {
      read_streams_into_ffmpeg_output(state.source);
      console = ffmpeg_output.get();
    }
    if (source_picture_copyable(console)) {
      copied = true;
      made = copy_into_first_work_file(state, console);
    }
  }
  if (!copied) {
    made = transcode_into_first_work_file(state);
    // The size the picture shows: read from what the transcode wrote.
    if (made) read_streams_into_ffmpeg_output(state.work_file_a);
  }
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
  state.sample_aspect = read_video_stream_line(console).sample_aspect;
}
