#include "engine/edit/edit_steps_pictures.h"

#include <initializer_list>
#include <optional>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_step_common.h"
#include "engine/edit/edit_step_geometry.h"
#include "engine/edit/edit_utilities.h"

namespace {

constexpr int failure_pause_ms = 500;

// The texts of `roles` when every one is a decimal number (a minus sign allowed).
std::optional<std::vector<std::string>> number_fields(const EditPage& page, std::initializer_list<const char*> roles) {
  std::vector<std::string> texts;
  for (const char* role : roles) {
    texts.push_back(page.text(role));
    if (!is_decimal_text(texts.back(), true)) return std::nullopt;
  }
  return texts;
}

EditCommand still_watermark_command(const EditVideoState& state, const std::string& picture, const std::string& x,
                                    const std::string& y) {
  EditCommand command;
  command.text(" -i ").path(state.current_file()).text(" -i ").path(picture);
  command.text(" -filter_complex \"overlay=" + x + ":" + y + "\" -y ").path(state.next_file());
  return command;
}

EditCommand animated_watermark_command(const EditVideoState& state, const std::string& picture, const std::string& x,
                                       const std::string& y) {
  EditCommand command;
  // "-stream_loop -1": a GIF made to play once ends after its last frame, and
  // "shortest=1" would end the video with it; read over and over, it lasts as long as
  // the video does.
  command.text(" -i ").path(state.current_file()).text(" -ignore_loop 0 -stream_loop -1 -i ").path(picture);
  command.text(" -filter_complex \"[0:v][1:v]overlay=" + x + ":" + y + ":shortest=1\" -y ").path(state.next_file());
  return command;
}

}  // namespace

void run_remove_logo_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("delogo_check")) return;
  set_edit_status(page, state, "正在去水印");
  const auto fields =
      number_fields(page, {"delogo_left_field", "delogo_top_field", "delogo_width_field", "delogo_height_field"});
  if (!fields) return;
  const std::vector<std::string>& f = *fields;
  const FrameSize frame = probe_stream_facts(state.current_file()).frame;
  const std::optional<PixelBox> box =
      logo_removal_box(text_to_number(f[0]), text_to_number(f[1]), text_to_number(f[2]), text_to_number(f[3]), frame);
  if (!box) {
    set_edit_status(page, state, "去水印失败");
    wait_pumping_messages(failure_pause_ms);
    return;
  }
  const std::string filter = "delogo=x=" + std::to_string(box->x) + ":y=" + std::to_string(box->y) +
                             ":w=" + std::to_string(box->width) + ":h=" + std::to_string(box->height) + ":show=0";
  const int exit_status = run_edit_command(current_to_next_command(state, " -filter_complex \"" + filter + "\""));
  keep_step_output(state, page, "已去水印", exit_status);
}

void run_picture_watermark_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("picture_watermark_check")) return;
  set_edit_status(page, state, "添加图片水印");
  const auto position = number_fields(page, {"watermark_left_field", "watermark_top_field"});
  if (!position) return;
  const std::string picture = page.text("watermark_picture_field");
  const std::string& x = (*position)[0];
  const std::string& y = (*position)[1];
  int exit_status = -1;
  if (file_extension(picture) == ".gif") {
    EditRunOptions collect;
    collect.collect_console = true;
    exit_status = run_edit_command(animated_watermark_command(state, picture, x, y), collect);
    // The animated run wrote no picture: lay the GIF's first frame over as a still.
    if (ffmpeg_output.get().find("video:0k") != std::string::npos) {
      exit_status = run_edit_command(still_watermark_command(state, picture, x, y));
    }
  } else {
    exit_status = run_edit_command(still_watermark_command(state, picture, x, y));
  }
  keep_step_output(state, page, "已加图片水印", exit_status);
}

void run_top_bottom_pictures_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("top_bottom_pictures_check")) return;
  set_edit_status(page, state, "添加上下图片");
  EditCommand command;
  command.text(" -i ").path(state.current_file());
  command.text(" -i ").path(page.text("top_picture_field")).text(" -i ").path(page.text("bottom_picture_field"));
  command.text(" -filter_complex \"overlay=0:0,overlay=0:main_h-overlay_h+8\" -y ").path(state.next_file());
  keep_step_output(state, page, "上下图片已加", run_edit_command(command));
}

void run_resize_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("resize_check")) return;
  set_edit_status(page, state, "正在改尺寸");
  const auto size = number_fields(page, {"resize_width_field", "resize_height_field"});
  if (!size) return;
  // The encoder takes even sides only: an odd typed side loses one.
  const std::string width = std::to_string(even_side_of(text_to_number((*size)[0])));
  const std::string height = std::to_string(even_side_of(text_to_number((*size)[1])));
  const std::string options = " -vf scale=" + width + ":" + height + ",setsar=1 -vcodec h264";
  keep_step_output(state, page, "尺寸已改", run_edit_command(current_to_next_command(state, options)));
}
