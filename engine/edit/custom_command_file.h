#pragma once
// The custom command file: the user's own converter command lines that the edit job
// runs on every video, one argument list per line, edited in the custom command
// dialog.
//
// The file is run folder + "/data/ffmpeg.txt", UTF-8 text with CRLF line ends. Reading
// also accepts LF line ends and a leading UTF-8 byte-order mark. A file that is not
// valid UTF-8 was written in code page 936 on the original platform: it is read in
// that code page and written back in it; no byte is ever replaced. A line may use the
// placeholders "[input]" (the video the line reads), "[output]" (the file it writes)
// and "[title]" (the video's file name without folder and extension); the edit job
// replaces them when it runs the line.

#include <string>
#include <string_view>

inline constexpr const char* custom_command_input_placeholder = "[input]";
inline constexpr const char* custom_command_output_placeholder = "[output]";
inline constexpr const char* custom_command_title_placeholder = "[title]";

// run folder + "/data/ffmpeg.txt".
std::string custom_command_file_path();

// The file's text as the dialog and the edit job use it: a leading byte-order mark
// dropped, everything from the first zero byte on dropped, and every line end made
// CRLF (a lone LF becomes CRLF). A missing, unreadable or empty file gives "".
std::string read_custom_command_file();
std::string read_custom_command_file(const std::string& path);

// Makes `text` the whole content of the file, with every line end written as CRLF (a
// lone LF becomes CRLF; nothing else changes, no byte-order mark, no final line end
// added), in the encoding of the file it replaces (UTF-8 for a new one). The file is replaced in one step, so a failed write keeps the previous
// content. False when it could not be written (for example, the data folder is
// missing).
bool write_custom_command_file(const std::string& text);
bool write_custom_command_file(const std::string& path, const std::string& text);

// `text` with every line end made CRLF: a lone LF becomes CRLF, CRLF stays.
std::string with_crlf_line_ends(std::string_view text);

// The edit job takes the lines of the text read with split_crlf_lines
// (engine/common/text_helpers.h).
