#include "engine/edit/edit_step_added_audio.h"

#include "engine/common/file_helpers.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_step_common.h"
#include "platform/files.h"

const char* const added_audio_mix_filter =
    "[0:a] pan=stereo|c0=1*c0|c1=1*c1 [a1], [1:a] pan=stereo|c0=1*c0|c1=1*c1 [a2],[a2][a1]amix=duration=longest,"
    "adelay=0|0,pan=stereo|c0<c0+c1|c1<c2+c3,pan=mono|c0=c0+c1[a]";

const char* const added_audio_only_filter = "[1:a]apad,aformat=channel_layouts=mono[a]";

std::string added_audio_work_file(const std::string& work_folder) { return work_folder + added_audio_file_name; }

int added_audio_length(const EditVideoState& state) {
  return state.kept_length > 0 ? state.kept_length : state.full_length;
}

void run_mix_audio_file_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("merge_audio_check")) return;
  set_edit_status(page, state, "正在合并音频");
  const std::string audio = page.text("audio_file_field");
  const std::string added = added_audio_work_file(state.work_folder);
  // The user's own file is never the one removed here.
  if (path_exists(added) && is_same_file(audio, added)) return;
  delete_file(added);

  EditCommand prepare;
  EditCommand combine;
  combine.text(" -i ").path(state.current_file()).text(" -i ").path(added);
  if (page.checked("mute_check")) {
    prepare.text(" -i ").path(audio).text(" -vn -acodec copy -ss 00:00:00 -t ");
    prepare.text(format_seconds_hms(added_audio_length(state))).text(" -y ").path(added);
  } else {
    prepare.text(" -i ").path(audio).text(" -af volume=-10dB -y ").path(added);
    const char* filter =
        probe_stream_facts(state.current_file()).has_audio ? added_audio_mix_filter : added_audio_only_filter;
    combine.text(" -filter_complex \"").text(filter).text("\" -map \"[a]\" -map 0:v -c:v h264 -c:a aac -shortest");
  }
  combine.text(" -y ").path(state.next_file());
  if (run_edit_command(prepare) != 0) return;
  keep_step_output(state, page, "已合并音频", run_edit_command(combine));
}
