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

Pieces piece_files(const EditVideoState& state) {
  const std::string& folder = state.work_folder;
  const std::string& ext = state.source_extension;
  return {folder + "velmon1" + ext, folder + "velmon2" + ext, folder + "velmon3" + ext, folder + "brel.mp3",
          folder + "k5pw_cn" + ext, folder + "velmon" + ext,  folder + "yes" + ext};
}

std::string transition_filter(const std::string& name, int duration, int offset) {
  return "[0:v]settb=AVTB[a];[1:v]settb=AVTB[b];[a][b]xfade=transition=" + name +
         ":duration=" + std::to_string(duration) + ":offset=" + std::to_string(offset);
}

std::string sound_join_filter(int half, int overlap) {
  return "[0:a]atrim=end=" + std::to_string(half) + "[a];[0:a]atrim=start=" + std::to_string(half) +
         ",asetpts=PTS-STARTPTS[b];[a][b]acrossfade=d=" + std::to_string(overlap);
}

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

int transition_offset(int half, int duration) { return std::max(half - duration, 0); }

void run_random_transition_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("random_transition_check")) return;
  set_edit_status(page, state, "添加随机转场");
  const Pieces pieces = piece_files(state);
  for (const std::string* piece : {&pieces.first, &pieces.second, &pieces.faded, &pieces.sound, &pieces.joined,
                                   &pieces.silent, &pieces.with_sound}) {
    delete_file(*piece);
  }
  const TransitionLengths lengths = transition_lengths(state.kept_length);
  const std::string& current = state.current_file();

  // The first piece's console text tells whether the video has sound.
  EditCommand first;
  first.text(" -ss 00:00:00 -t " + format_seconds_hms(lengths.half) + " -i ")
      .path(current)
      .text(" -vcodec copy -y ")
      .path(pieces.first);
  EditRunOptions with_console;
  with_console.collect_console = true;
  if (!edit_run_output_counts(run_edit_command(first, with_console), pieces.first)) return;
  const bool has_sound = console_lists_audio_stream(ffmpeg_output.get());

  EditCommand second;
  second.text(" -ss " + format_seconds_hms(lengths.half) + " -t " + format_seconds_hms(lengths.rest + 1) + " -i ")
      .path(current)
      .text(" -y ")
      .path(pieces.second);
  if (!edit_run_output_counts(run_edit_command(second), pieces.second)) return;

  EditCommand faded;
  const std::string fade_frames = random_parity_text(10, 20, 2);
  faded.text(" -i ").path(pieces.second).text(" -vf fade=in:0:" + fade_frames + " -y ").path(pieces.faded);
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
    EditCommand join;
    join.text(" -i ")
        .path(pieces.first)
        .text(" -i ")
        .path(attempt.faded ? pieces.faded : pieces.second)
        .text(" -filter_complex " +
              transition_filter(attempt.name, attempt.duration, transition_offset(lengths.half, attempt.duration)) +
              " -y ")
        .path(pieces.joined);
    if (edit_run_output_counts(run_edit_command(join), pieces.joined)) {
      joined_seconds = attempt.duration;
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
        .text(" -filter_complex " + sound_join_filter(lengths.half, joined_seconds) + " -f mp3 -y ")
        .path(pieces.sound);
    if (!edit_run_output_counts(run_edit_command(sound), pieces.sound)) return;
    EditCommand silent;
    silent.text(" -i ").path(pieces.joined).text(" -vcodec copy -an -y ").path(pieces.silent);
    if (!edit_run_output_counts(run_edit_command(silent), pieces.silent)) return;
    EditCommand with_sound;
    with_sound.text(" -i ").path(pieces.silent).text(" -i ").path(pieces.sound).text(" -y ").path(pieces.with_sound);
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
  keep_step_output(state, page, "随机转场已加", run_edit_command(cut));
}
