#pragma once
// The converter command lines of the merge job, its concat lists, the output name and
// the transition offset. Nothing here runs the converter or touches a file, except
// that the paths written into the commands get their plain aliases.
//
// Every path in a command is written between double quotes as `short_path_for_command`
// of the complete path (the alias of a file still to be written is a link to the
// would-be file, so the converter creates it at its real place). A builder gives ""
// when a path cannot be written that way without changing the command's arguments
// (see `fits_between_quotes`); the job then runs nothing for it.
//
// G is the text of `ffmpeg_global_options` ("" or beginning with a blank). The two
// picture commands of the cover run without it.

#include <string>
#include <vector>

#include "engine/converter/frame_size.h"

// DQ(SP(path)), or "" when the short path does not fit between quotes.
std::string quoted_command_path(const std::string& path);

// The picture of every re-encoded merge file: 8-bit 4:2:0, which phones, browsers and
// upload pages play (H.264 of another sampling or depth many refuse).
inline constexpr const char* merge_pixel_format = "yuv420p";

// G -i "source" -vcodec h264 -pix_fmt yuv420p -vf pad=ceil(iw/2)*2:ceil(ih/2)*2 -y
// "part": a part file re-encoded from a listed source, as the source shows it (the
// converter turns a picture by its rotation metadata), in 8-bit 4:2:0 whatever the
// source's depth and sampling. 4:2:0 needs an even width and height, so an odd one
// gets one black column or row (the encoder refuses an odd size).
std::string merge_reencode_command(const std::string& global, const std::string& source, const std::string& part);

// G -i "part" -vf scale=W:H:force_original_aspect_ratio=decrease:force_divisible_by=2,
// pad=W:H:(ow-iw)/2:(oh-ih)/2,setsar=1:1 -y "scaled": a part brought to the first part's
// frame size W x H (even, as every part is): scaled to fit inside it with its
// proportions kept (its size even) and centred on black bars; a part of the first
// part's shape fills the frame.
std::string merge_scale_command(const std::string& global, const std::string& part, const std::string& scaled,
                                int width, int height);

// The sound of a part: sample rate ("44100") and channel layout ("stereo", "5.1(side)",
// "3 channels") as the converter names them; both "" for a part without sound.
struct MergeSound {
  std::string sample_rate;
  std::string channel_layout;
  bool empty() const { return sample_rate.empty() || channel_layout.empty(); }
  friend bool operator==(const MergeSound&, const MergeSound&) = default;
};

// What a part is brought to before it is joined to the first part by stream copy. The
// concat list copies the packets of every file under the first file's stream
// parameters, so a part whose sound differs in sample rate or channels would join as
// garbled sound with timestamps that run backwards, and one whose frame rate differs
// would play at the wrong speed.
struct MergePartMatch {
  bool scale = false;      // to width x height (square pixels)
  int width = 0;
  int height = 0;
  MergeSound sound;        // "" parts: the sound stays as it is
  std::string frame_rate;  // "": the frame rate stays
  bool needed() const { return scale || !sound.empty() || !frame_rate.empty(); }
};

// G -i "part" [-vf <the scale and pad of merge_scale_command>[,fps=F] or -vf fps=F]
// [-af aformat=sample_rates=R:channel_layouts=L] -y "output". Without sound and frame rate it is `merge_scale_command`. A sound
// or frame rate that is not plain converter text (digits; a layout name of letters,
// digits and ".()+-_"; "N channels" is written "Nc") is left out.
std::string merge_match_command(const std::string& global, const std::string& part, const std::string& output,
                                const MergePartMatch& match);

// G -f concat -safe 0 -i "list" -vcodec copy "output": the files of a concat list
// joined with their video copied (no "-y": the output's folder was emptied first).
std::string merge_concat_command(const std::string& global, const std::string& list, const std::string& output);

// One line of a concat list, without its line end: file '<short path>'; "" when the
// short path holds a character the list's quoting cannot carry (a single quote, a
// backslash, a control character).
std::string merge_concat_list_line(const std::string& path);

// The concat list of `files`: one line each, every line ended by CR LF unless
// `last_line_end` is false (the pair's list has no line end after its second line).
// "" when a line cannot be written.
std::string merge_concat_list_text(const std::vector<std::string>& files, bool last_line_end);

// G -i "joined" -f mp3 -y "mp3": the joined sound.
std::string merge_audio_command(const std::string& global, const std::string& joined, const std::string& mp3);

// The transition's start in the first part: whole seconds of the first part minus the
// transition's one second, never below 0. The transition must lie inside the first
// part: the converter's "xfade" with an offset at (or after) the first part's end
// writes the first part alone and reports success.
int merge_transition_offset(int first_part_seconds);

// The filter of the transition: xfade=transition=X:duration=1:offset=O. With a frame
// rate (a plain decimal text) both parts are first brought to that rate
// ([0:v]fps=R[a];[1:v]fps=R[b];[a][b]xfade=...), as "xfade" refuses parts whose frame
// rates differ.
std::string merge_transition_filter(const std::string& transition, int offset, const std::string& frame_rate);

// G -i "first" -i "second" -filter_complex FILTER -pix_fmt yuv420p -y "output". Without
// the pixel format the encoder takes the 4:4:4 picture that "xfade" gives even for two
// 4:2:0 parts.
std::string merge_transition_command(const std::string& global, const std::string& first, const std::string& second,
                                     const std::string& filter, const std::string& output);

// G -i "input" -vcodec copy -an "output": the transition video without sound.
std::string merge_silent_video_command(const std::string& global, const std::string& input, const std::string& output);

// G -i "video" -i "audio" -y "output": the transition video with the joined sound.
std::string merge_mux_command(const std::string& global, const std::string& video, const std::string& audio,
                              const std::string& output);

// G -i "joined" -vcodec copy -y "output": the pair's result into the output folder.
std::string merge_final_copy_command(const std::string& global, const std::string& joined, const std::string& output);

// -ss 1 -i "video" -frames:v 1 -f image2 -y "picture": the frame at one second. The
// image2 muxer refuses a second frame for one file name, so one frame is asked for.
std::string merge_cover_frame_command(const std::string& video, const std::string& picture);

// -i "video" -i "picture" -map 1 -map 0 -c copy -disposition:0 attached_pic -y
// "output": the picture attached as the cover.
std::string merge_attach_cover_command(const std::string& video, const std::string& picture,
                                       const std::string& output);

// The output of pair (i, j): folder + "/" + i + "_" + j + "_" + title + "." + format
// (an empty title leaves two "_" side by side).
std::string merge_output_path(const std::string& folder, int i, int j, const std::string& title,
                              const std::string& format);

// The frame rate of the first video stream line of a console text, as the converter
// prints it in front of " fps" ("25", "29.97"); "" when there is none or it is not a
// plain decimal number.
std::string parse_frame_rate(const std::string& console_text);

// The frame size of the first video stream of the output a command wrote, from its
// console text: the merge job's frame-size rule (`parse_frame_size` without the second
// fallback) on the text from "Output #0" on. That is the size the written picture has,
// turned by a rotation of the source, where the input's stream line has the size as
// stored. 0 x 0 when there is no output section.
FrameSize parse_output_frame_size(const std::string& console_text);

// The sound of the first audio stream of the output a command wrote, from its console
// text (the first "Audio:" line after "Output #0"): "... 48000 Hz, mono, fltp" gives
// 48000 and mono. Empty when there is none.
MergeSound parse_output_sound(const std::string& console_text);

// The length in seconds of the first video stream of a Matroska file, from the console
// text of the converter reading it: the stream's DURATION tag ("00:00:02.800000000"),
// else the container's "Duration: 00:00:02.80". Negative when neither is there.
double parse_video_seconds(const std::string& console_text);

// The transition's start in a first part whose picture lasts `video_seconds`, with
// frames of `frame_seconds` each: its whole seconds when a frame begins at or after
// them, otherwise one second less (never below 0). A part of 12.8 seconds gives 12;
// one of exactly 2 seconds gives 1, since "xfade" with an offset at the first part's
// last frame or after it writes the first part alone.
int merge_transition_offset(double video_seconds, double frame_seconds);
