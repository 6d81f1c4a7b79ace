#pragma once
// The edit steps that turn a portrait video into a landscape one (step 8) or the
// reverse (step 9): the picture is laid, unscaled, over the centre of a blurred copy
// of itself that fills the other orientation. Both form one block: step 9 does not run
// when step 8 ran. After either, the held frame size is the swapped one.
//
// Step 8, when its box is checked and W < H, with the retry form of the frame:
//   " -i CUR -lavfi "P" -vcodec h264 -y NEXT"   retry " ... -c:v h264 ..."
//   P = [0:v]scale=ih:iw,boxblur=luma_radius=min(h\,w)/10:luma_power=3:
//       chroma_radius=min(cw\,ch)/10:chroma_power=1[bg];[bg][0:v]overlay=(W-w)/2:(H-h)/2,
//       setsar=1,crop=w=iw
// Step 9, when its box is checked and W > H, two commands:
//   1. " -i CUR -lavfi "L" -vcodec h264 -preset ultrafast -y NEXT", where L enlarges the
//      frame by 256/81 and blurs it as the background of the input frame, then crops the
//      width back to the input's (crop=w=iw*81/256): a tall frame;
//   2. " -i NEXT -vf scale=H:W,setsar=1 -vcodec h264 -preset ultrafast -y CUR": the tall
//      frame at the swapped size, written over the current file, which stays current.
// When command 1's output does not count, the step ends there and claims nothing.
// When command 2 fails (the current file may then be damaged), command 1's tall frame
// becomes current and the held size is read from it.
//
// The filter texts go through the command line between double quotes; their "\,"
// reaches the converter as written and keeps the comma inside min() from ending the
// filter.

#include "engine/edit/edit_job_state.h"

void run_portrait_to_landscape_step(EditVideoState& state, const EditPage& page);
void run_landscape_to_portrait_step(EditVideoState& state, const EditPage& page);
