#pragma once
// The edit step that adds the sound of an audio file to the video (merge_audio_check,
// the file in audio_file_field). It works through one temporary audio file of its own
// in the work folder, TA = "added_audio.mka", removed before each use so that nothing an
// earlier video or a failed run left there is taken. Its container is fixed and holds
// any sound (mp3, AAC, Opus, Vorbis, FLAC, PCM, ...): the converter picks the format of
// a file it writes by the name's extension, and an audio file's own may be missing.
//
// With mute_check on (the video's own sound was taken away) the audio file's sound is
// cut to the video's length L (the kept length D when above 0, else the full length
// D0) and becomes the video's sound:
//   -i "AUDIO" -vn -acodec copy -ss 00:00:00 -t HH:MM:SS -y "TA"
//   -i "CUR" -i "TA" -y "NEXT"
// Otherwise it is lowered by 10 dB and mixed under the video's own sound into one mono
// track, as long as the picture, the picture encoded anew:
//   -i "AUDIO" -af volume=-10dB -y "TA"
//   -i "CUR" -i "TA" -filter_complex "<mix>" -map "[a]" -map 0:v -c:v h264 -c:a aac -shortest -y "NEXT"
// In the mix the lowered audio is amix's first input, the mix lasts as long as the
// longer of the two sounds, and -shortest ends it with the picture. This converter's
// amix drops what it holds of its first input once that input has ended: the video's
// sound, read ahead while the picture encoder fills its queue, ends long before the
// audio file is read, so with the video's sound first (and the mix ending with it) a
// 2 s video kept 0.05 s of sound, and a 10 s video 7.9 s. A video without sound has
// nothing to mix with: the lowered sound, padded with silence, becomes its sound,
// again as long as the picture.
//
// The second command runs only when the first ended well.

#include <string>

#include "engine/edit/edit_job_state.h"

inline constexpr const char* added_audio_file_name = "added_audio.mka";

// TA in `work_folder` (which ends with "/").
std::string added_audio_work_file(const std::string& work_folder);

// L: the kept length when it is above 0, else the full length.
int added_audio_length(const EditVideoState& state);

// The filter that mixes the video's sound [0:a] and the lowered audio [1:a] into [a].
extern const char* const added_audio_mix_filter;

// The filter that makes the lowered audio [1:a] the sound [a] of a video without one.
extern const char* const added_audio_only_filter;

void run_mix_audio_file_step(EditVideoState& state, const EditPage& page);
