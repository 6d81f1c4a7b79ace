#pragma once
// The small operations under every converter command: the form in which a path is
// written into a command line and whether it can be, the duration probe, and the
// probe of a file's frame size and sound.

#include <string>
#include <vector>

#include "engine/converter/console_streams.h"
#include "engine/converter/frame_size.h"

// The form of `path` to write into a converter command. A path that holds a blank or
// another character that would change how the command line or the converter reads it
// (see `path_needs_alias`) is replaced by a plain alias (platform/shortpath):
// - no such character: the path unchanged;
// - such a character only in the folder part (up to the last "/"): the folder's alias,
//   "/" and the file name unchanged;
// - such a character in the file name: the alias of the whole path;
// - no alias to be had (nothing there and no folder for it): the path unchanged.
// Only "/" separates folders.
std::string short_path_for_command(const std::string& path);

// True when `text` between two double quotes stays one argument and reads as itself:
// it holds no double quote and no control character, and does not end in a backslash
// (which would make the closing quote a literal one).
bool fits_between_quotes(const std::string& text);

// The duration of the media file at `path` as the converter prints it after
// "Duration: " up to the next "." ("00:01:23" for "Duration: 00:01:23.45, ..."), with
// every CR LF removed; "" when the converter prints no duration (missing or unreadable
// file, missing converter). Runs `ffmpeg_global_options` + " -i " +
// `short_path_for_command` of the path on `ffmpeg_exe_path`, unquoted. A path that
// still needs an alias after that (none could be made: nothing is there) is not handed
// to the converter, where its blanks or quotes would split it into other arguments;
// the result is "" as the converter's would be.
std::string probe_duration(const std::string& path);
// The same, and the probe's console text into `console_text` ("" when nothing ran): the
// source's streams, frame size among them, come with it, so a caller that needs both
// runs the converter once.
std::string probe_duration_with_console(const std::string& path, std::string* console_text);

// What the probe of one file tells: its duration and its streams.
struct FileProbe {
  std::string duration;                // as `probe_duration` gives it
  std::vector<ConsoleStream> streams;  // as the converter lists them (`console_streams`)
};

// The probes of all `paths`, in their order, in as few converter runs as it takes (a
// start of the converter costs far more than reading a file's header): one command
// names them all, `ffmpeg_global_options` + " -i " + `short_path_for_command` of each
// path in turn, unquoted as `probe_duration` writes it, and the converter lists each
// input it opens. It stops at the first it cannot read: that one's probe is empty (as
// `probe_duration` gives it) and the paths after it go into the next run. A path that
// would need an alias it cannot get is left out of the runs, its probe empty.
std::vector<FileProbe> probe_files(const std::vector<std::string>& paths);

// The duration as `probe_duration` reads it from a console text: the text after the
// first "Duration: " up to the next ".", every CR LF removed; "" when there is none.
// Any run whose first input is the file prints it the same way.
std::string duration_in_console(const std::string& console_text);

// What a converter run on one media file tells of its streams.
struct StreamFacts {
  FrameSize frame;         // by the shared frame-size rule, every pass; 0 when not found
  bool has_audio = false;  // an audio stream is listed
  std::string frame_rate;  // the video's frame rate as listed ("25", "29.97"); "" when not given
};

// True when `console_text` lists an audio stream: a line that begins (after blanks)
// with "Stream #" and names ": Audio: " ("  Stream #0:1[0x2](und): Audio: aac (LC),
// 44100 Hz, ..."); the words in a title or a file name are no stream.
bool console_lists_audio_stream(const std::string& console_text);

// The frame size, sound and frame rate of the media file at `path` as the converter reads them:
// `ffmpeg_global_options` + " -i " + the quoted `short_path_for_command` of the path
// on `ffmpeg_exe_path` (no output: the converter lists the streams and stops). A path
// that still needs an alias is not handed to the converter; nothing is found then.
StreamFacts probe_stream_facts(const std::string& path);
