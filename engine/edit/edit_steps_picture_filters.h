#pragma once
// The edit steps that run one picture filter over the video: sharpening, removing the
// colour, a flickering vignette, the two flips and the two quarter turns. Each runs
// when its box is checked, from the current work file into the next one.
//
//   4  sharpen_check   " -vf unsharp=luma_msize_x=7:luma_msize_y=7:luma_amount=2.5"
//   5  decolour_check  " -vf lutyuv="u=128:v=128""
//   7  flash_halo_check " -vf vignette='PI/4+random(1)*PI/50':eval=frame"
//   10 hflip_check     " -vf hflip"        11 vflip_check     " -vf vflip"
//   12 rotate_cw_check " -vf transpose=1"  13 rotate_ccw_check " -vf transpose=2"
//
// A quarter turn exchanges the frame's width and height, so the size the video's
// state holds follows a turn that was applied (two turns cancel out); the later steps
// test their boxes against that size.

#include "engine/edit/edit_job_state.h"

void run_sharpen_step(EditVideoState& state, const EditPage& page);
void run_desaturate_step(EditVideoState& state, const EditPage& page);
void run_flicker_vignette_step(EditVideoState& state, const EditPage& page);
void run_flip_horizontal_step(EditVideoState& state, const EditPage& page);
void run_flip_vertical_step(EditVideoState& state, const EditPage& page);
void run_rotate_clockwise_step(EditVideoState& state, const EditPage& page);
void run_rotate_counter_clockwise_step(EditVideoState& state, const EditPage& page);
