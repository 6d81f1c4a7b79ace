#include "engine/edit/edit_steps_orientation.h"

#include <numeric>
#include <string>
#include <utility>

#include "engine/converter/media_probes.h"
#include "engine/edit/edit_job_command.h"
#include "engine/edit/edit_step_common.h"

namespace {

constexpr const char* portrait_to_landscape_filter =
    "[0:v]scale=ih:iw,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:chroma_power=1[bg];"
    "[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw";

}  // namespace

std::string landscape_to_portrait_filter(int shown_width, int height) {
  // The background is the picture enlarged by (w/h)^2 in both directions: then its
  // height is the tall frame's, w^2/h, for a width of w; the ratio in lowest terms
  // (256/81 for 16:9).
  long long across = shown_width, down = height;
  if (across <= 0 || down <= 0) across = down = 1;
  const long long common = std::gcd(across, down);
  across /= common;
  down /= common;
  const std::string up = std::to_string(across * across) + "/" + std::to_string(down * down);
  const std::string back = std::to_string(down * down) + "/" + std::to_string(across * across);
  return "[0:v]scale=" + up + "*iw:" + up +
         "*ih,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:chroma_power=1[bg];"
         "[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw*" + back;
}

void run_portrait_to_landscape_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("portrait_to_landscape_check") || !(edit_shown_width(state) < state.height)) return;
  state.portrait_to_landscape_ran = true;
  set_edit_status(page, state, "正在改成横屏");
  const std::string filter = std::string(" -lavfi \"") + portrait_to_landscape_filter + "\"";
  if (edit_step_retry(state, current_to_next_command(state, filter + " -vcodec h264"),
                      current_to_next_command(state, filter + " -c:v h264"))) {
    std::swap(state.width, state.height);
    state.sample_aspect = {};
    set_edit_status(page, state, "已改成横屏");
  }
}

void run_landscape_to_portrait_step(EditVideoState& state, const EditPage& page) {
  if (state.portrait_to_landscape_ran || !page.checked("landscape_to_portrait_check") ||
      !(edit_shown_width(state) > state.height)) {
    return;
  }
  set_edit_status(page, state, "正在改成竖屏");
  // The tall frame for the shape the picture shows: its shown width across, the square
  // of its proportions down.
  const int shown_width = edit_shown_width(state);
  const EditCommand tall = current_to_next_command(
      state, " -lavfi \"" + landscape_to_portrait_filter(shown_width, state.height) +
                 "\" -vcodec h264 -preset ultrafast");
  if (run_edit_command(tall) != 0 || !edit_output_counts(state.next_file())) return mark_step_not_applied(state);

  EditCommand scaled;
  scaled.text(" -i ")
      .path(state.next_file())
      .text(" -vf scale=" + std::to_string(state.height) + ":" + std::to_string(shown_width) +
            ",setsar=1 -vcodec h264 -preset ultrafast -y ")
      .path(state.current_file());
  if (run_edit_command(scaled) == 0 && edit_output_counts(state.current_file())) {
    state.width = state.height;
    state.height = shown_width;
  } else {
    // The current file was being rewritten and cannot be trusted: the tall frame of
    // the first command is the video now, at its own size.
    edit_step_verify(state);
    const FrameSize size = probe_stream_facts(state.current_file()).frame;
    state.width = size.width;
    state.height = size.height;
  }
  state.sample_aspect = {};
  set_edit_status(page, state, "已改成竖屏");
}
