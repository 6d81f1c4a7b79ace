#pragma once
// The edit step that changes the playback speed (speed_check, the speed S from
// speed_combo as shown): the picture's times are multiplied by S and the sound's tempo
// is its inverse T = 1 / S, so values below 1 speed the video up and values above 1
// slow it down.
//
//   -filter_complex "[0:v]setpts=S*PTS[v];[0:a]atempo=T[a]" -map "[v]" -map "[a]"
//
// S goes into the command only when it is a positive decimal number as typed ("0.5",
// "2.0", "3"); otherwise the step is passed over after its "before" status. T is written
// as decimal text ("%.13g": S = 0.6 gives 1.666666666667). One atempo filter takes a
// tempo from 0.5 to 100, so a tempo outside that range becomes a chain of filters whose
// product is T (S = 3: "atempo=0.5,atempo=0.6666666666667"). A work file without sound
// has its picture sped alone: "[0:v]setpts=S*PTS[v]" -map "[v]".
//
// The video's real length changes with the speed, so the kept length D and the full
// length D0 the later steps cut to follow it (see `length_after_speed`).

#include <optional>
#include <string>

#include "engine/edit/edit_job_state.h"

// The atempo filters that together give `tempo` (> 0), each within 0.5 to 100.
std::string atempo_chain_text(double tempo);

// The filter text for the typed speed `speed`; nothing when it is no positive decimal
// number. `with_sound`: the work file has a sound stream to change as well.
std::optional<std::string> playback_speed_filter_text(const std::string& speed, bool with_sound);

// A length of whole seconds after the speed `speed`: the length times the speed,
// truncated toward zero (a product a hair below a whole number counts as that number).
// A length of 0 or below (no length found, or trims that left none) stays as it is.
int length_after_speed(int seconds, double speed);

void run_playback_speed_step(EditVideoState& state, const EditPage& page);
