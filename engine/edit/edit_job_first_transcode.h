#pragma once
// The first work file of a video in the edit job, and its frame size.
//
// A ".mp4" or ".mkv" source is copied into work file A, and a converter run with the
// source as its only input (no output) gives the console text the frame size is read
// from: the job's duration probe of the source is that run. Any other source is transcoded into A, trying in turn
//   -i "SRC" -vcodec h264 -y "A"
//   -i "SRC" -c:v libx264 -y "A"
//   -i "SRC" -vcodec copy -y "A"
// each next form only when the one before did not exit 0 or left A missing or empty;
// the console text of the last form that ran is kept in `ffmpeg_output`, and the
// frame size is read from it.

#include "engine/edit/edit_job_state.h"

// Makes work file A of `state` (old work files of the same row are deleted first),
// sets the frame size and makes A current. True when A then exists and is not empty:
// false means the video cannot be edited. For a copied source, `source_console` may
// hold the console text of the duration probe of the source (`probe_duration_with_console`), the
// same run as the one that reads the frame size: it is then used, and the source is
// not run a second time.
bool make_first_work_file(EditVideoState& state, const std::string& source_console = {});

// The frame size read from `ffmpeg_output` into `state` (0 when not found); the
// pixel-format rewrites of the reading stay in `ffmpeg_output`.
void read_edit_frame_size(EditVideoState& state);
