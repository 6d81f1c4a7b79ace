#include "engine/edit/edit_steps_framing.h"

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/picture_size.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_step_common.h"
#include "engine/edit/edit_step_geometry.h"
#include "engine/edit/edit_utilities.h"
#include "platform/files.h"

namespace {

constexpr int failure_pause_ms = 500;

FrameSize picture_size(const std::string& picture) {
  const std::string bytes = read_file_bytes(picture).value_or(std::string());
  if (bytes.empty()) return {};
  return {image_width(bytes), image_height(bytes)};
}

// The background step's runs up to its output into the next work file. Returns the
// exit status of the last run, or -1 when a run before it failed.
int lay_video_on_background(const EditVideoState& state, const std::string& picture,
                            const BackgroundLayout& layout) {
  const std::string copy = background_video_copy_path();
  const std::string sound = state.work_folder + "tmp.mp3";
  const std::string background = state.work_folder + "tmp.mkv";

  // Made afresh for this video: whatever was at these places stays out of its result.
  // The copy goes where nothing is (a link there would be written through), and the
  // real files are deleted, never their aliases.
  delete_file(sound);
  delete_file(background);
  delete_file(copy);
  if (!copy_file(state.current_file(), copy, true)) return -1;

  const StreamFacts facts = probe_stream_facts(copy);
  const bool has_sound = facts.has_audio;
  // The overlay's output takes the rate of the picture video: that is the video's own
  // (10 a second when the converter lists none). The picture is read at that rate too:
  // read at its default 25 a second, the picture video would get no more frames than
  // that (an mkv output never repeats a frame to reach a higher "-r").
  const std::string rate = is_frame_rate_text(facts.frame_rate) ? facts.frame_rate : "10";
  if (has_sound) {
    EditCommand extract;
    extract.text(" -i ").path(copy).text(" -f mp3 -y ").path(sound);
    if (!edit_run_output_counts(run_edit_command(extract), sound)) return -1;
  }

  const std::string frame = std::to_string(layout.frame.width) + "x" + std::to_string(layout.frame.height);
  EditCommand still;
  still.text(" -f image2 -loop 1 -framerate " + rate + " -i ").path(picture);
  if (has_sound) still.text(" -i ").path(sound);
  // "-pix_fmt yuv420p": a JPEG gives a full-range picture, and the overlay would copy
  // the video's limited-range values into it as they are, washing the video out.
  still.text(" -vcodec h264 -pix_fmt yuv420p -b:v 200k -r " + rate + " -t " + std::to_string(state.kept_length) + " -s " +
             frame + " -acodec copy -y ")
      .path(background);
  if (!edit_run_output_counts(run_edit_command(still), background)) return -1;

  // The movie filter names the copy by its plain name in the converter's working
  // folder. "setsar=1": "-s" gave the background the pixel shape that keeps the
  // picture's own proportions, which would stretch the whole output.
  const std::string filter = "movie='temp.mkv',scale=" + std::to_string(layout.video.width) + "x" +
                             std::to_string(layout.video.height) + "[test];[in][test]overlay=x=" +
                             std::to_string(layout.x) + ":y=" + std::to_string(layout.y) + ",setsar=1";
  EditCommand overlay;
  overlay.text(" -i ").path(background).text(" -vf \"" + filter + "\" -vcodec h264 -y ").path(state.next_file());
  return run_edit_command(overlay);
}

}  // namespace

std::string background_video_copy_path() { return run_folder.get() + "/bin/temp.mkv"; }

void run_background_picture_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("background_picture_check")) return;
  set_edit_status(page, state, "添加背景图片");
  const std::string scale = page.text("background_scale_combo");
  BackgroundOptions options;
  options.size_from_picture = page.text("background_size_combo") == "背景图";
  options.centred = page.text("background_position_combo") == "居中";
  const std::string left = page.text("background_left_field");
  const std::string top = page.text("background_top_field");
  if (!is_percent_text(scale)) return;
  if (!options.centred && (!is_decimal_text(left, true) || !is_decimal_text(top, true))) return;
  options.percent = percent_value(scale);
  options.left = text_to_number(left);
  options.top = text_to_number(top);
  // A picture the converter cannot decode would keep "-loop 1" reading it for ever.
  const std::string picture = page.text("background_picture_field");
  options.picture = picture_size(picture);
  if (options.picture.width <= 0 || options.picture.height <= 0) return;
  const BackgroundLayout layout = background_layout({state.width, state.height}, options);

  const int exit_status = lay_video_on_background(state, picture, layout);
  delete_file(background_video_copy_path());
  if (!keep_step_output(state, page, "背景图片已加", exit_status)) return;
  state.width = layout.frame.width;
  state.height = layout.frame.height;
}

void run_crop_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("crop_check")) return;
  set_edit_status(page, state, "正在裁切画面");
  const std::string width = page.text("crop_width_field");
  const std::string height = page.text("crop_height_field");
  const std::string left = page.text("crop_left_field");
  const std::string top = page.text("crop_top_field");
  for (const std::string* text : {&width, &height, &left, &top}) {
    if (!is_decimal_text(*text, true)) return;
  }
  const FrameSize frame = probe_stream_facts(state.current_file()).frame;
  if (!span_fits(text_to_number(left), text_to_number(width), frame.width) ||
      !span_fits(text_to_number(top), text_to_number(height), frame.height)) {
    set_edit_status(page, state, "画面裁切失败");
    wait_pumping_messages(failure_pause_ms);
    return;
  }
  const std::string options = " -vf crop=" + width + ":" + height + ":" + left + ":" + top +
                              " -preset ultrafast -vcodec h264";
  keep_step_output(state, page, "画面已裁切", run_edit_command(current_to_next_command(state, options)));
}

void run_blurred_border_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("blur_border_check") || state.width <= 0 || state.height <= 0) return;
  const StreamFacts facts = probe_stream_facts(state.current_file());
  if (facts.frame.width <= 0 || facts.frame.height <= 0) return;
  set_edit_status(page, state, "正在虚化背景");
  const std::string scale = page.text("blur_border_scale_combo");
  if (!is_percent_text(scale)) return;
  const FrameSize frame{state.width, state.height};
  const BlurredBorderLayout layout = blurred_border_layout(frame, percent_value(scale));
  std::string graph = "[0:v]avgblur=sizeX=64:sizeY=0,scale=" + std::to_string(frame.width) + "x" +
                      std::to_string(frame.height) + "[out1];[0:v]scale=" + std::to_string(layout.video.width) + "x" +
                      std::to_string(layout.video.height) + "[out2];[out1][out2]overlay=x=" + layout.x + ":y=" +
                      layout.y + " [outo]";
  std::string maps = " -map \"[outo]\"";
  // A video without sound has no [0:a] to pass through.
  if (facts.has_audio) {
    graph += ";[0:a]atempo=1.0[outa]";
    maps += " -map \"[outa]\"";
  }
  const int exit_status = run_edit_command(current_to_next_command(state, " -filter_complex \"" + graph + "\"" + maps));
  keep_step_output(state, page, "背景已虚化", exit_status);
}
