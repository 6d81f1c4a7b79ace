#include "engine/edit/edit_step_random_transition.h"

#include <algorithm>
#include <string>

#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/common/transition_table.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_job_command.h"
#include "engine/edit/edit_step_common.h"
#include "engine/edit/edit_utilities.h"

namespace {

// The table is constant data, filled before any job can start: a row can always be
// drawn.
static_assert(transition_count > 0);

struct Pieces {
  std::string first, second, faded, sound, joined, silent, with_sound;
};

// The pieces take the work file's container: the source's one may not hold what the
// step writes (H.264 in avi or webm), or would pick other codecs (Sorenson H.263 in
// flv, which no later copy into mp4 takes).
Pieces piece_files(const EditVideoState& state) {
  const std::string& folder = state.work_folder;
  const std::string ext = fold_ascii_case(file_extension(state.current_file()));
  return {folder + "velmon1" + ext, folder + "velmon2" + ext, folder + "velmon3" + ext, folder + "brel.mp3",
          folder + "k5pw_cn" + ext, folder + "velmon" + ext,  folder + "yes" + ext};
}

std::string transition_filter(const std::string& name, int duration, int offset) {
  return "[0:v]settb=AVTB[a];[1:v]settb=AVTB[b];[a][b]xfade=transition=" + name +
         ":duration=" + std::to_string(duration) + ":offset=" + std::to_string(offset);
}

// The first half is padded to its full length: the cross-fade takes its whole overlap
// from the first input's end, and ends without output when that input is shorter, as a
// half that the overlap spans whole can be by a few samples.
std::string sound_join_filter(int cut, int overlap) {
  const std::string at = std::to_string(cut);
  return "[0:a]atrim=end=" + at + ",apad=whole_dur=" + at + "[a];[0:a]atrim=start=" + at +
         ",asetpts=PTS-STARTPTS[b];[a][b]acrossfade=d=" + std::to_string(overlap);
}

// Every picture the step encodes is 8-bit 4:2:0.
const std::string picture_format = " -pix_fmt yuv420p";

struct TransitionTry {
  std::string name;
  int duration;
  bool faded;  // joined to velmon3 (else velmon2)
};

}  // namespace

TransitionLengths transition_lengths(int kept_length) {
  TransitionLengths lengths;
  lengths.half = kept_length / 2;
  if (lengths.half % 2 == 1) ++lengths.half;
  lengths.rest = kept_length - lengths.half;
  return lengths;
}

TransitionPlan transition_plan(int kept_length, int longest) {
  const TransitionLengths lengths = transition_lengths(kept_length);
  for (int duration = longest; duration >= 1; --duration) {
    if (lengths.half >= duration && lengths.rest - 1 >= duration) return {lengths.half, duration};
    if (kept_length - duration - 1 >= duration) return {kept_length - duration - 1, duration};
  }
  return {lengths.half, 0};
}

void run_random_transition_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("random_transition_check")) return;
  set_edit_status(page, state, "添加随机转场");
  const Pieces pieces = piece_files(state);
  for (const std::string* piece : {&pieces.first, &pieces.second, &pieces.faded, &pieces.sound, &pieces.joined,
                                   &pieces.silent, &pieces.with_sound}) {
    delete_file(*piece);
  }
  // Both tries' longest transition: the first try is two seconds long either way.
  const TransitionPlan plan = transition_plan(state.kept_length, 2);
  if (plan.duration == 0) return;
  const int rest = state.kept_length - plan.cut;
  const std::string& current = state.current_file();

  // The first piece's console text tells whether the video has sound. The piece is
  // encoded anew, so that it ends at the cut: a stream copy could end only at a frame it
  // can be cut at, and then with frames missing before its last one.
  EditCommand first;
  first.text(" -ss 00:00:00 -t " + format_seconds_hms(plan.cut) + " -i ")
      .path(current)
      .text(picture_format + " -y ")
      .path(pieces.first);
  EditRunOptions with_console;
  with_console.collect_console = true;
  if (!edit_run_output_counts(run_edit_command(first, with_console), pieces.first)) return;
  const bool has_sound = console_lists_audio_stream(ffmpeg_output.get());

  EditCommand second;
  second.text(" -ss " + format_seconds_hms(plan.cut) + " -t " + format_seconds_hms(rest + 1) + " -i ")
      .path(current)
      .text(picture_format + " -y ")
      .path(pieces.second);
  if (!edit_run_output_counts(run_edit_command(second), pieces.second)) return;

  EditCommand faded;
  const std::string fade_frames = random_parity_text(10, 20, 2);
  faded.text(" -i ")
      .path(pieces.second)
      .text(" -vf fade=in:0:" + fade_frames + picture_format + " -y ")
      .path(pieces.faded);
  const bool faded_made = edit_run_output_counts(run_edit_command(faded), pieces.faded);

  const std::string name = random_transition_name();
  const bool a_current = state.current != 2;
  const TransitionTry tries[2] = {
      a_current ? TransitionTry{name, 2, true} : TransitionTry{"rectcrop", 2, true},
      a_current ? TransitionTry{"circlecrop", 2, false} : TransitionTry{name, 1, true},
  };
  int joined_seconds = 0;  // the length of the transition that joined the pieces
  for (const TransitionTry& attempt : tries) {
    if (attempt.faded && !faded_made) continue;
    const int duration = std::min(attempt.duration, plan.duration);
    EditCommand join;
    join.text(" -i ")
        .path(pieces.first)
        .text(" -i ")
        .path(attempt.faded ? pieces.faded : pieces.second)
        .text(" -filter_complex " + transition_filter(attempt.name, duration, plan.cut - duration) + picture_format +
              " -y ")
        .path(pieces.joined);
    if (edit_run_output_counts(run_edit_command(join), pieces.joined)) {
      joined_seconds = duration;
      break;
    }
  }
  if (joined_seconds == 0) return;

  std::string picture = pieces.joined;
  if (has_sound) {
    // The sound is joined the way the picture was: its halves overlap by the
    // transition's length, so the second half is heard with its own picture.
    EditCommand sound;
    sound.text(" -i ")
        .path(current)
        .text(" -filter_complex " + sound_join_filter(plan.cut, joined_seconds) + " -f mp3 -y ")
        .path(pieces.sound);
    if (!edit_run_output_counts(run_edit_command(sound), pieces.sound)) return;
    EditCommand silent;
    silent.text(" -i ").path(pieces.joined).text(" -vcodec copy -an -y ").path(pieces.silent);
    if (!edit_run_output_counts(run_edit_command(silent), pieces.silent)) return;
    EditCommand with_sound;
    with_sound.text(" -i ")
        .path(pieces.silent)
        .text(" -i ")
        .path(pieces.sound)
        .text(picture_format + " -y ")
        .path(pieces.with_sound);
    if (!edit_run_output_counts(run_edit_command(with_sound), pieces.with_sound)) return;
    picture = pieces.with_sound;
  }

  // No "-ss 00:00:00" in front of the input: on an flv piece that seek lands on a later
  // key frame, and the copy loses the video's first seconds.
  EditCommand cut;
  cut.text(" -t " + format_seconds_hms(state.kept_length) + " -i ")
      .path(picture)
      .text(" -vcodec copy -y ")
      .path(state.next_file());
  if (!keep_step_output(state, page, "随机转场已加", run_edit_command(cut))) return;
  // The transition's seconds are shown once, by both pieces at the same time.
  state.kept_length = std::max(state.kept_length - joined_seconds, 0);
  state.full_length = std::max(state.full_length - joined_seconds, 0);
}
