#include "engine/edit/edit_steps_orientation.h"

#include <string>
#include <utility>

#include "engine/converter/media_probes.h"
#include "engine/edit/edit_job_command.h"
#include "engine/edit/edit_step_common.h"

namespace {

constexpr const char* portrait_to_landscape_filter =
    "[0:v]scale=ih:iw,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:chroma_power=1[bg];"
    "[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw";
constexpr const char* landscape_to_portrait_filter =
    "[0:v]scale=256/81*iw:256/81*ih,boxblur=luma_radius=min(h\\,w)/10:luma_power=3:chroma_radius=min(cw\\,ch)/10:"
    "chroma_power=1[bg];[bg][0:v]overlay=(W-w)/2:(H-h)/2,setsar=1,crop=w=iw*81/256";

}  // namespace

void run_portrait_to_landscape_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("portrait_to_landscape_check") || !(state.width < state.height)) return;
  state.portrait_to_landscape_ran = true;
  set_edit_status(page, state, "正在改成横屏");
  const std::string filter = std::string(" -lavfi \"") + portrait_to_landscape_filter + "\"";
  if (edit_step_retry(state, current_to_next_command(state, filter + " -vcodec h264"),
                      current_to_next_command(state, filter + " -c:v h264"))) {
    std::swap(state.width, state.height);
    set_edit_status(page, state, "已改成横屏");
  }
}

void run_landscape_to_portrait_step(EditVideoState& state, const EditPage& page) {
  if (state.portrait_to_landscape_ran || !page.checked("landscape_to_portrait_check") ||
      !(state.width > state.height)) {
    return;
  }
  set_edit_status(page, state, "正在改成竖屏");
  const EditCommand tall = current_to_next_command(
      state, std::string(" -lavfi \"") + landscape_to_portrait_filter + "\" -vcodec h264 -preset ultrafast");
  if (run_edit_command(tall) != 0 || !edit_output_counts(state.next_file())) return mark_step_not_applied(state);

  EditCommand scaled;
  scaled.text(" -i ")
      .path(state.next_file())
      .text(" -vf scale=" + std::to_string(state.height) + ":" + std::to_string(state.width) +
            ",setsar=1 -vcodec h264 -preset ultrafast -y ")
      .path(state.current_file());
  if (run_edit_command(scaled) == 0 && edit_output_counts(state.current_file())) {
    std::swap(state.width, state.height);
  } else {
    // The current file was being rewritten and cannot be trusted: the tall frame of
    // the first command is the video now, at its own size.
    edit_step_verify(state);
    const FrameSize size = probe_stream_facts(state.current_file()).frame;
    state.width = size.width;
    state.height = size.height;
  }
  set_edit_status(page, state, "已改成竖屏");
}
