#pragma once
// The edit steps that give the whole picture an effect: a fade-in, a colour cycle and a
// vignette. Each runs when its box is checked, from the current work file into the next
// one.
//
//   15 fade_in_check       " -vf fade=in:0:90"   (the first 90 frames fade in from black)
//   16 colour_cycle_check  " -vf hue="H=2*PI*t:s=sin(2*PI*t)+1""
//                          (the hue turns once a second, the saturation pulses)
//   17 halo_check          " -vf vignette=PI/4"

#include "engine/edit/edit_job_state.h"

void run_fade_in_step(EditVideoState& state, const EditPage& page);
void run_hue_cycle_step(EditVideoState& state, const EditPage& page);
void run_vignette_step(EditVideoState& state, const EditPage& page);
