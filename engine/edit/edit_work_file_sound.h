#pragma once
// Whether a work file holds sound: the steps that treat the video's own sound (the
// playback speed, the added audio) have no sound stream to filter in a video without
// one, and build their commands for the picture alone there.

#include <string>

// True when the converter, reading the file at `path` (with `ffmpeg_global_options`),
// lists an audio stream among its streams. False for a file it cannot read.
bool work_file_has_sound(const std::string& path);

// True when `console_text`, the converter's description of its inputs, lists an audio
// stream: a line that begins (after blanks) with "Stream #" and names ": Audio:".
bool console_lists_audio_stream(const std::string& console_text);
