#pragma once
// The edit steps that give the video a new frame: a background picture, a crop and a
// blurred border. Each runs when its box is checked, reads the current work file and
// writes the next one, which counts like every other step's output.
//
//   26 background_picture_check: the video, scaled to a percentage of its own size, on
//      a still background picture (`background_layout`). The new frame takes the
//      picture's size ("背景图") or keeps the video's ("原视频"), made even; the video is
//      centred ("居中") or at the left and top fields. Four runs:
//        the current file copied to run folder + "/bin/temp.mkv", where the converter's
//        movie filter finds it (the converter's working folder is "bin");
//        " -i temp.mkv -f mp3 -y tmp.mp3"                           (only with sound)
//        " -f image2 -loop 1 -framerate RATE -i PICTURE -i tmp.mp3 -vcodec h264
//          -pix_fmt yuv420p -b:v 200k -r RATE -t D -s NWxNH -acodec copy -y tmp.mkv"
//          (without "-i tmp.mp3" when silent)
//        " -i tmp.mkv -vf "movie='temp.mkv',scale=SWxSH[test];[in][test]overlay=x=X:y=Y,
//          setsar=1" -vcodec h264 -y NEXT"
//      D is the kept length in whole seconds, RATE the video's frame rate as the
//      converter lists it (10 when it lists none), for the picture as it is read and
//      for the picture video: the overlay's output takes the picture video's rate, so
//      the video keeps its own. The background is made in the video's own
//      colour range with square pixels, so the video keeps its colours and the output
//      its proportions whatever the picture. tmp.mp3 and tmp.mkv sit in the work folder
//      and are removed before the step, so a video never gets another one's sound;
//      bin/temp.mkv is removed before and after. A picture whose size cannot be read is
//      refused without a command (the converter would loop over a picture it cannot
//      decode for ever). When the output counts, the held frame size becomes NW x NH;
//      otherwise the current work file and the frame size stay.
//   27 crop_check " -vf crop=W:H:L:T -preset ultrafast -vcodec h264". A rectangle that
//      leaves the current work file's frame gives "画面裁切失败" and a pause of 500 ms,
//      without a command. The held frame size is not changed.
//   28 blur_border_check, when the held frame size W x H and the current work file's
//      own size are known:
//        " -filter_complex "[0:v]avgblur=sizeX=64:sizeY=0,scale=WxH[out1];
//          [0:v]scale=SWxSH[out2];[out1][out2]overlay=x=OX:y=OY [outo];
//          [0:a]atempo=1.0[outa]" -map "[outo]" -map "[outa]""
//      (`blurred_border_layout`); a video without sound leaves out its sound chain and
//      its map.
//
// Every typed value is a number before it reaches a command (a scale with or without
// its "%"; a minus sign allowed in positions and boxes); a field that holds anything
// else passes the step over after its "before" status.

#include "engine/edit/edit_job_state.h"

void run_background_picture_step(EditVideoState& state, const EditPage& page);
void run_crop_step(EditVideoState& state, const EditPage& page);
void run_blurred_border_step(EditVideoState& state, const EditPage& page);

// The copy of the current work file that the background step's movie filter reads:
// run folder + "/bin/temp.mkv".
std::string background_video_copy_path();
