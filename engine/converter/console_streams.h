#pragma once
// What a converter run's console text tells of the files it read and wrote, so that a
// caller learns a file's streams, or what a conversion wrote, from a run it makes
// anyway instead of starting the converter once more.
//
// The converter lists each file it opens, input and output alike:
//   Input #0, mov,mp4,m4a,3gp,3g2,mj2, from 'clip.mp4':
//     Stream #0:0[0x1](und): Video: h264 (High) (avc1 / 0x31637661), yuv420p, 320x180, ...
//       Side data:
//         displaymatrix: rotation of -90.00 degrees
//     Stream #0:1[0x2](und): Audio: aac (LC) (mp4a / 0x6134706D), 48000 Hz, mono, ...
//   Stream mapping:
//     Stream #0:0 -> #0:0 (copy)
//   Output #0, matroska, to 'clip.mkv':
//     Stream #0:0(und): Video: h264 (High) ...
// and ends a conversion with its last progress report and its statistics line:
//   frame=  100 fps=0.0 q=-1.0 Lsize=     136kB time=00:00:04.00 bitrate= 279.1kbits/s
//   video:122kB audio:8kB subtitle:0kB other streams:0kB global headers:3kB muxing overhead: 4.7%
// Lines may end in CR, LF or both; a progress report may share its line with others.

#include <string>
#include <vector>

enum class ConsoleFile { input, output };

// One stream as the converter lists it.
struct ConsoleStream {
  std::string kind;               // "Video", "Audio", "Subtitle", "Data", "Attachment"
  std::string codec;              // the first word after the kind: "h264", "aac", "subrip"
  bool attached_picture = false;  // a cover picture: "(attached pic)"
  int rotation = 0;               // its display matrix's rotation in whole degrees; 0 when none
};

// The lines that list input or output number `index`, from its heading ("Input #1,
// avi, from 'a.avi':") up to the next file's heading or the stream mapping; "" when the
// console text does not list it.
std::string console_file_listing(const std::string& console_text, ConsoleFile file, int index = 0);

// The streams of input or output number `index` (Input #0, Output #0 for 0) that the
// console text lists, in their order; none when it lists no such file. The lines of
// the stream mapping ("Stream #0:0 -> #0:0") are no streams.
std::vector<ConsoleStream> console_streams(const std::string& console_text, ConsoleFile file, int index = 0);

// How many of `streams` are of `kind`.
int count_streams(const std::vector<ConsoleStream>& streams, const std::string& kind);

// The end of a conversion as its console text reports it.
struct ConsoleFinalReport {
  bool found = false;    // the statistics line ("video:...kB audio:...kB ... muxing overhead") is there
  double size_kib = -1;  // the size written, from the last "size=" before it; -1 when none or N/A
  double seconds = -1;   // the time reached, from the last "time=" before it; -1 when none, N/A or negative
};
ConsoleFinalReport console_final_report(const std::string& console_text);
