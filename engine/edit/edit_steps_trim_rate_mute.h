#pragma once
// The edit steps that re-encode the video with a second form to fall back on: cutting
// the head and tail, the frame rate and removing the sound. Each runs from the current
// work file into the next one; when the first form's output does not count, the second
// form runs once (`edit_step_retry`).
//
//   2 trim        " -ss START -t D -vcodec h264"      retry " -ss START -t D -c:v h264"
//   3 frame_rate  " -r FPS -vcodec h264"              retry " -r FPS -c:v h264"
//   6 mute        " -vcodec h264 -an"                 retry " -vcodec copy -an"
//
// The trim values are worked out at step 2's place every time, whether or not a trim
// box is checked, so the later steps always find the kept length D: with the head box
// checked START is the head's whole seconds as HH:MM:SS and D = D0 - head, truncated
// toward zero (otherwise START = "00:00:00" and D = D0); with the tail box checked D
// loses the tail as well, truncated again. Step 2 runs only when 0 < D < D0 and START
// is not negative. FPS is the frame-rate field as typed, and it reaches the command
// only when it is a positive number or a ratio of two whole numbers; any other text
// passes step 3 over.
//
// Not applied (the row's status names the box): a checked trim box whose field is no
// number, or whose values ask for a cut that step 2 cannot make; a frame rate that is no
// rate; either step whose two forms both failed.

#include <string>

#include "engine/edit/edit_job_state.h"

struct TrimValues {
  int start_seconds = 0;   // where the kept part starts, whole seconds
  std::string trim_start;  // the same as HH:MM:SS
  int kept_length = 0;     // D
};

// The trim values of a video of `full_length` whole seconds. `head` and `tail` are the
// fields read as decimal numbers (no number reads 0); an unchecked box's value is not
// used. Values beyond the range of whole seconds are held at its ends.
TrimValues compute_trim_values(int full_length, bool head_on, double head, bool tail_on, double tail);

// Whether step 2 cuts a video of `full_length` seconds with these values.
bool trim_step_applies(const TrimValues& values, int full_length);

void run_trim_ends_step(EditVideoState& state, const EditPage& page);
void run_frame_rate_step(EditVideoState& state, const EditPage& page);
void run_remove_audio_step(EditVideoState& state, const EditPage& page);
