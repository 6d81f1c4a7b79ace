#pragma once
// What the convert job does with one row of the convert list: the source after the
// course-site address rewrite, the output path, the command shape and the converter
// command lines. Nothing here runs the converter or touches a file, except that the
// paths written into the commands get their plain aliases (`short_path_for_command`).
//
// Paths in the commands. Every path is written between double quotes as the alias of
// the complete path: the alias of an output that does not exist yet is a link to the
// would-be file, so the converter creates the file at its real place (an extension
// appended to an alias would name a file inside the private alias folder instead).
//
// The shapes, with G the global options, S the source, O the output base, F the
// format, SP the alias and DQ a text between double quotes; the first that applies:
// - M3u8ToMp3 (E ".m3u8", F "mp3"):
//     G -i DQ(SP(S)) -acodec copy -absf aac_adtstoasc -y DQ(SP(O tmp.mp4))
//     G -i DQ(SP(O tmp.mp4)) -f mp3 -y DQ(SP(O.mp3)), then O tmp.mp4 is deleted
// - M3u8Copy (E ".m3u8"): G -i DQ(SP(S)) -acodec copy -absf aac_adtstoasc -y DQ(SP(O.F))
//     (for "ts" without "-absf aac_adtstoasc": the transport stream keeps ADTS audio,
//     which the filter would turn into frames the stream cannot carry)
// - StreamCopy (F "ts", or E ".ts"): G -i DQ(SP(S)) -vcodec copy -y DQ(SP(O.F))
// - ForceFormat (F "mp3", or E ".mp3" or ".wmv"): G -i DQ(SP(S)) -f M DQ(SP(O.F)),
//     M the converter's muxer name of F ("matroska" for mkv, "asf" for wmv, "mpegts"
//     for ts; the others are their own names); no "-y": the old output is deleted first
// - CopyFixAdts (anything else): G -i DQ(SP(S)) -vcodec copy -y -bsf:a aac_adtstoasc
//     DQ(SP(O.F)) (for "mkv", "flv" and "wmv" without the filter: their audio is
//     re-encoded to vorbis, mp3 or wmav2, which the AAC filter refuses)
// Formats and extensions are compared without regard to ASCII case.
//
// What the source's streams change (known from the console text of its duration
// probe; nothing changes while they are not known), in StreamCopy, ForceFormat and
// CopyFixAdts:
// - Every sound track: into mkv, mp4, mov and ts, a source with more than one audio
//   stream gets " -map 0:V? -map 0:a" after its input (without a map the converter
//   takes one video and one audio stream), followed by " -map 0:s:K -c:s:J C" for each
//   subtitle stream the container takes (see `subtitle_codec_for`): C is "copy" where
//   it takes the stream as it is, the encoder of its own kind of text for a text
//   subtitle it takes only that way (mov_text in mp4 and mov, ass in mkv). Other
//   subtitle streams are left out, as the converter leaves them out itself.
// - Upright pictures: a source whose video carries a rotation (a phone's portrait
//   recording) into a container that cannot store one (mkv, flv, ts, wmv) gets
//   "-vcodec libx264" in place of "-vcodec copy": the converter turns the picture as it
//   encodes it, where a copy would play sideways. mp4 and mov keep the copy with its
//   rotation.

#include <optional>
#include <string>
#include <vector>

#include "engine/converter/console_streams.h"

enum class ConvertCommand { M3u8ToMp3, M3u8Copy, StreamCopy, ForceFormat, CopyFixAdts };

// The course site whose stream addresses are rewritten to its stream-delivery host:
// an address holding "." + domain + "/" and ".m3u8" gets `course_stream_host_label`
// as its first host label, and loses its query.
inline constexpr const char* course_site_domain = "example-course.com";
inline constexpr const char* course_stream_host_label = "vod";

// The page's options that shape one row.
struct ConvertRowOptions {
  std::string format;               // "mp4", "flv", "mov", "mkv", "ts", "wmv" or "mp3"
  bool save_beside_source = false;  // beside the source, "_new" added to the name
  std::string output_folder;        // the output folder, without a trailing "/"
  std::string global_options;       // `ffmpeg_global_options`: "" or beginning with a blank
};

// One row's plan.
struct ConvertRowPlan {
  std::string source;          // S: the listed text after the address rewrite
  std::string stem;            // the file name of S without its extension
  std::string extension;       // E: ".m3u8" when S holds ".m3u8", else its extension
  bool is_stream = false;      // a stream address: never deleted, never a folder to save in
  std::string output_base;     // O: the output path without its extension
  std::string output_path;     // O + "." + format
  std::string temporary_path;  // O + "tmp.mp4" for M3u8ToMp3, else ""
  ConvertCommand shape = ConvertCommand::CopyFixAdts;
  // The command lines in order; empty when a path or address cannot be written into a
  // command without changing its arguments (see `fits_between_quotes`), and when the
  // output goes into the output folder but its text is empty.
  std::vector<std::string> commands;
};

// The address with the course-site rewrite applied: when it holds "." +
// `course_site_domain` + "/" and ".m3u8", every "//" + L + "." (L the text between its
// first "//" and the next ".", ASCII case ignored) becomes "//" +
// `course_stream_host_label` + ".", and a "?" and everything after it are dropped.
// Any other text comes back unchanged.
std::string rewrite_course_stream_address(const std::string& address);

// E of a source: ".m3u8" when it holds ".m3u8" anywhere (case matters), else its
// `file_extension`.
std::string convert_source_extension(const std::string& source);

// True when the source (after the address rewrite) is a stream address, not a local
// file: its E is ".m3u8" (any case), or it names a protocol ("://").
bool convert_source_is_stream(const std::string& source);

// The shape for an output format and a source extension E.
ConvertCommand choose_convert_command(const std::string& format, const std::string& extension);

// The name of a shape ("M3u8ToMp3", …).
const char* convert_command_name(ConvertCommand shape);

// The converter's muxer name for an output format given after "-f".
std::string converter_muxer_name(const std::string& format);

// How a subtitle stream of codec `codec` goes into an output of `format`: "copy" when
// the container takes it as it is, the encoder ("mov_text", "ass") when it takes a text
// subtitle only as its own kind of text, nothing when it is left out.
std::optional<std::string> subtitle_codec_for(const std::string& format, const std::string& codec);

// The plan of the row whose column 1 reads `listed_source`.
// O: beside the source, `parent_folder` of S + stem + "_new"; otherwise, and for a
// stream address (which has no folder of its own), the output folder + "/" + stem.
// `source_streams`: the source's streams as its probe listed them (`console_streams`
// of the input), which shape the commands as described above; none: the shapes as they
// stand. `output_path`, when given, is written instead of O + "." + format (a numbered
// name the job gave the row, same folder and extension): O is it without "." + format,
// and the temporary file follows it.
ConvertRowPlan plan_convert_row(const std::string& listed_source, const ConvertRowOptions& options,
                                const std::vector<ConsoleStream>& source_streams = {},
                                const std::string& output_path = "");
