#pragma once
// The edit steps that work pictures into the video or give it a new size: removing a
// logo, a picture watermark, pictures along the top and the bottom, and a resize. Each
// runs when its box is checked, from the current work file into the next one.
//
//   22 delogo_check  " -filter_complex "delogo=x=X:y=Y:w=W:h=H:show=0""
//      The typed rectangle is tested against the current work file's frame size (read
//      from the converter by the shared frame-size rule). One that leaves the frame
//      gives "去水印失败" and a pause of 500 ms, without a command. delogo needs a pixel
//      of picture around its box, so a side on the frame's edge is moved one pixel
//      inward (`logo_removal_box`).
//   23 picture_watermark_check, the picture at the left and top fields:
//      still  " -i PICTURE -filter_complex "overlay=X:Y""
//      ".gif" " -ignore_loop 0 -stream_loop -1 -i PICTURE
//               -filter_complex "[0:v][1:v]overlay=X:Y:shortest=1""
//      The animation loops for as long as the video lasts, also a GIF made to play
//      once, and the video ends the output. When the animated run wrote no picture
//      ("video:0k" in its console text) the still form runs once into the same file.
//      Only an extension of exactly ".gif" (case respected) takes the animated form.
//   24 top_bottom_pictures_check " -i TOP -i BOTTOM
//      -filter_complex "overlay=0:0,overlay=0:main_h-overlay_h+8"": the top picture at
//      the top left corner, the bottom one at the left edge with its lower edge 8
//      pixels below the frame's.
//   25 resize_check " -vf scale=WIDTH:HEIGHT,setsar=1 -vcodec h264", WIDTH and HEIGHT
//      the whole parts of the typed values, an odd one less one (`even_side_of`: the
//      encoder takes even sides only). The frame size the video's state holds is not
//      changed; the later steps that test boxes read the work file's own size.
//
// Every typed value is a decimal number before it reaches a command (a minus sign
// allowed); a field that holds anything else passes the step over after its "before"
// status. Picture paths are written like every other path (`EditCommand::path`).

#include "engine/edit/edit_job_state.h"

void run_remove_logo_step(EditVideoState& state, const EditPage& page);
void run_picture_watermark_step(EditVideoState& state, const EditPage& page);
void run_top_bottom_pictures_step(EditVideoState& state, const EditPage& page);
void run_resize_step(EditVideoState& state, const EditPage& page);
