#include "engine/converter/console_streams.h"

#include <algorithm>
#include <cmath>
#include <string_view>

#include "engine/common/text_helpers.h"

namespace {

bool starts_with(std::string_view text, std::string_view prefix) { return text.substr(0, prefix.size()) == prefix; }

// A line of a text: where it begins, and its text with blanks and tabs in front removed.
struct TextLine {
  std::size_t start = 0;
  std::string_view text;
};

// The lines of `text`, split at every CR and LF; empty lines left out.
std::vector<TextLine> trimmed_lines(const std::string& text) {
  std::vector<TextLine> lines;
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = std::min(text.find_first_of("\r\n", start), text.size());
    const std::string_view line = std::string_view(text).substr(start, end - start);
    const std::size_t first = line.find_first_not_of(" \t");
    if (first != std::string_view::npos) lines.push_back({start, line.substr(first)});
    start = end + 1;
  }
  return lines;
}

bool is_file_heading(std::string_view line) {
  return starts_with(line, "Input #") || starts_with(line, "Output #") || starts_with(line, "Stream mapping:");
}

// The file number of a line "Input #N, ..." or "Output #N, ..." (after `prefix`); -1
// when it has none.
int file_number(std::string_view line, std::string_view prefix) {
  line.remove_prefix(prefix.size());
  if (line.empty() || line[0] < '0' || line[0] > '9') return -1;
  return static_cast<int>(text_to_number(std::string(line.substr(0, line.find_first_not_of("0123456789")))));
}

// The stream of a line "Stream #F:I...: Kind: codec ..." of file `file`; false when
// the line is none (another file's stream, a line of the stream mapping).
bool parse_stream_line(std::string_view line, int file, ConsoleStream& stream) {
  constexpr std::string_view prefix = "Stream #";
  if (!starts_with(line, prefix) || line.find(" -> ") != std::string_view::npos) return false;
  const std::size_t colon = line.find(':', prefix.size());
  if (colon == std::string_view::npos || file_number(line.substr(0, colon), prefix) != file) return false;
  // The kind follows the first ": " (after the stream's number, its id and language).
  const std::size_t kind_start = line.find(": ", colon);
  if (kind_start == std::string_view::npos) return false;
  const std::size_t kind_end = line.find(':', kind_start + 2);
  if (kind_end == std::string_view::npos) return false;
  stream = {};
  stream.kind = std::string(line.substr(kind_start + 2, kind_end - kind_start - 2));
  std::string_view codec = line.substr(kind_end + 1);
  codec.remove_prefix(std::min(codec.size(), codec.find_first_not_of(' ')));
  stream.codec = std::string(codec.substr(0, codec.find_first_of(" ,")));
  stream.attached_picture = line.find("(attached pic)") != std::string_view::npos;
  return true;
}

// The number after the last `marker` in `text` (blanks skipped); nothing when there is
// no marker or no number after it ("N/A").
bool number_after_last(std::string_view text, std::string_view marker, std::string& number) {
  const std::size_t at = text.rfind(marker);
  if (at == std::string_view::npos) return false;
  std::string_view rest = text.substr(at + marker.size());
  rest.remove_prefix(std::min(rest.size(), rest.find_first_not_of(' ')));
  const std::size_t end = rest.find_first_not_of("0123456789.:-");
  number = std::string(rest.substr(0, end));
  return !number.empty() && (number[0] == '-' || (number[0] >= '0' && number[0] <= '9'));
}

}  // namespace

std::string console_file_listing(const std::string& console_text, ConsoleFile file, int index) {
  const std::string_view heading = file == ConsoleFile::input ? "Input #" : "Output #";
  const std::vector<TextLine> lines = trimmed_lines(console_text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (!starts_with(lines[i].text, heading) || file_number(lines[i].text, heading) != index) continue;
    std::size_t end = console_text.size();
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      if (is_file_heading(lines[j].text)) {
        end = lines[j].start;
        break;
      }
    }
    return console_text.substr(lines[i].start, end - lines[i].start);
  }
  return {};
}

std::vector<ConsoleStream> console_streams(const std::string& console_text, ConsoleFile file, int index) {
  std::vector<ConsoleStream> streams;
  const std::string listing = console_file_listing(console_text, file, index);
  for (const TextLine& line : trimmed_lines(listing)) {
    ConsoleStream stream;
    if (parse_stream_line(line.text, index, stream)) {
      streams.push_back(std::move(stream));
    } else if (constexpr std::string_view rotation = "displaymatrix: rotation of ";
               !streams.empty() && starts_with(line.text, rotation)) {
      const double degrees = text_to_number(std::string(line.text.substr(rotation.size())));
      streams.back().rotation = static_cast<int>(std::lround(degrees));
    }
  }
  return streams;
}

int count_streams(const std::vector<ConsoleStream>& streams, const std::string& kind) {
  int count = 0;
  for (const ConsoleStream& stream : streams) count += stream.kind == kind ? 1 : 0;
  return count;
}

ConsoleFinalReport console_final_report(const std::string& console_text) {
  ConsoleFinalReport report;
  // The statistics line: the last "video:" that begins a line holding "muxing overhead".
  std::size_t statistics = std::string::npos;
  for (std::size_t at = console_text.rfind("video:"); at != std::string::npos;
       at = at == 0 ? std::string::npos : console_text.rfind("video:", at - 1)) {
    const bool line_start = at == 0 || console_text[at - 1] == '\n' || console_text[at - 1] == '\r';
    const std::size_t end = console_text.find_first_of("\r\n", at);
    if (line_start && console_text.substr(at, end - at).find("muxing overhead") != std::string::npos) {
      statistics = at;
      break;
    }
  }
  if (statistics == std::string::npos) return report;
  report.found = true;
  const std::string_view before = std::string_view(console_text).substr(0, statistics);
  std::string number;
  if (number_after_last(before, "size=", number) && number[0] != '-') report.size_kib = text_to_number(number);
  if (number_after_last(before, "time=", number) && number[0] != '-') {
    // "00:00:04.00": whole seconds, then the hundredths.
    const std::size_t point = number.find('.');
    report.seconds = duration_text_to_seconds(number) +
                     (point == std::string::npos ? 0.0 : text_to_number("0" + number.substr(point)));
  }
  return report;
}
