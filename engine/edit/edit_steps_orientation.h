#pragma once
// The edit steps that turn a portrait video into a landscape one (step 8) or the
// reverse (step 9): the picture is laid, unscaled, over the centre of a blurred copy
// of itself that fills the other orientation. Both form one block: step 9 does not run
// when step 8 ran. After either, the held frame size is the swapped one.
//
// Portrait or landscape is the shape the picture shows: the held width times the
// pixels' width-to-height ratio (`edit_shown_width`) against the held height, so a DVD
// or VCD picture of non-square pixels is taken as it plays.
//
// Step 8, when its box is checked and the picture shows portrait, with the retry form of
// the frame:
//   " -i CUR -lavfi "P" -vcodec h264 -y NEXT"   retry " ... -c:v h264 ..."
//   P = [0:v]scale=ih:iw,boxblur=luma_radius=min(h\,w)/10:luma_power=3:
//       chroma_radius=min(cw\,ch)/10:chroma_power=1[bg];[bg][0:v]overlay=(W-w)/2:(H-h)/2,
//       setsar=1,crop=w=iw
// Step 9, when its box is checked and the picture shows landscape, two commands:
//   1. " -i CUR -lavfi "L" -vcodec h264 -preset ultrafast -y NEXT", where L
//      (`landscape_to_portrait_filter`) enlarges the frame by the square of its shown
//      proportions and blurs it as the background of the input frame, then crops the
//      width back to the input's: a tall frame in which the picture keeps its shape;
//   2. " -i NEXT -vf scale=H:SW,setsar=1 -vcodec h264 -preset ultrafast -y CUR", SW the
//      shown width (W for square pixels): the tall frame at the swapped shown size,
//      written over the current file, which stays current.
// When command 1's output does not count, the step ends there and claims nothing.
// When command 2 fails (the current file may then be damaged), command 1's tall frame
// becomes current and the held size is read from it. After either step the held
// pixel shape is square (both filters end in setsar=1).
//
// The filter texts go through the command line between double quotes; their "\,"
// reaches the converter as written and keeps the comma inside min() from ending the
// filter.

#include <string>

#include "engine/edit/edit_job_state.h"

// Filter L of step 9 for a picture that shows `shown_width` x `height`, with
// F = (shown_width / height)^2 as a ratio of whole numbers in lowest terms:
//   [0:v]scale=F*iw:F*ih,boxblur=luma_radius=min(h\,w)/10:luma_power=3:
//   chroma_radius=min(cw\,ch)/10:chroma_power=1[bg];[bg][0:v]overlay=(W-w)/2:(H-h)/2,
//   setsar=1,crop=w=iw*G
// with G the same ratio the other way up: F = 256/81 and G = 81/256 for 1920 x 1080,
// 16/9 and 9/16 for 320 x 240.
std::string landscape_to_portrait_filter(int shown_width, int height);

void run_portrait_to_landscape_step(EditVideoState& state, const EditPage& page);
void run_landscape_to_portrait_step(EditVideoState& state, const EditPage& page);
