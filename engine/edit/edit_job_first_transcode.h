#pragma once
// The first work file of a video in the edit job, and its frame size.
//
// A ".mp4" or ".mkv" source whose picture every later step and player can take as it
// stands (`source_picture_copyable`: H.264, 8-bit 4:2:0, even sides, upright) is copied
// into work file A; the frame size is read from a converter run with the source as its
// only input (no output): the job's duration probe of the source is that run. Any other
// source is transcoded into A, trying in turn
//   -i "SRC" -vcodec h264 -vf crop=trunc(iw/2)*2:trunc(ih/2)*2 -pix_fmt yuv420p -y "A"
//   -i "SRC" -c:v libx264 -vf crop=trunc(iw/2)*2:trunc(ih/2)*2 -pix_fmt yuv420p -y "A"
//   -i "SRC" -vcodec copy -y "A"
// each next form only when the one before did not exit 0 or left A missing or empty.
// The encodes drop the last column or row of an odd side, give an 8-bit 4:2:0 picture
// and turn a rotated picture upright (the converter applies the rotation as it
// decodes). The frame size is then read from A itself (a run with A as its only input,
// its console text kept in `ffmpeg_output`): the size the picture shows.

#include <string>

#include "engine/edit/edit_job_state.h"

// The crop of the first transcode's encodes: each side rounded down to even.
inline constexpr const char* first_work_file_even_crop = "crop=trunc(iw/2)*2:trunc(ih/2)*2";

// True when the first video stream that `console_text` (a run with the source as its
// only input) lists can be copied into the work file: H.264 in "yuv420p" or "yuvj420p",
// both sides even, no rotation. A 10-bit or 4:4:4 picture, another codec, an odd side or
// a rotated picture is transcoded instead.
bool source_picture_copyable(const std::string& console_text);

// Makes work file A of `state` (old work files of the same row are deleted first),
// sets the frame size and pixel shape and makes A current. True when A then exists and
// is not empty: false means the video cannot be edited. For a ".mp4" or ".mkv" source,
// `source_console` may hold the console text of the duration probe of the source
// (`probe_duration_with_console`), the run that tells whether it is copied and, when it
// is, gives its frame size: it is then used, and the source is not run a second time.
bool make_first_work_file(EditVideoState& state, const std::string& source_console = {});

// The frame size (0 when not found) and the pixel shape read from `ffmpeg_output` into
// `state`; the pixel-format rewrites of the reading stay in `ffmpeg_output`.
void read_edit_frame_size(EditVideoState& state);
