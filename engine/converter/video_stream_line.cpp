#include "engine/converter/video_stream_line.h"

#include <cmath>
#include <cstdlib>
#include <string_view>
#include <vector>

namespace {

std::string_view trimmed(std::string_view text) {
  const std::size_t first = text.find_first_not_of(" \t\r");
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(" \t\r");
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> lines_of(std::string_view text) {
  std::vector<std::string_view> lines;
  for (std::size_t start = 0; start <= text.size();) {
    const std::size_t end = text.find('\n', start);
    lines.push_back(text.substr(start, end == std::string_view::npos ? std::string_view::npos : end - start));
    if (end == std::string_view::npos) break;
    start = end + 1;
  }
  return lines;
}

// The stream description split at its commas, except those inside parentheses or
// brackets ("yuv420p(tv, bt709)", "[SAR 1:1 DAR 16:9]").
std::vector<std::string_view> fields_of(std::string_view text) {
  std::vector<std::string_view> fields;
  int depth = 0;
  std::size_t start = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '(' || c == '[') ++depth;
    if ((c == ')' || c == ']') && depth > 0) --depth;
    if (c == ',' && depth == 0) {
      fields.push_back(trimmed(text.substr(start, i - start)));
      start = i + 1;
    }
  }
  fields.push_back(trimmed(text.substr(start)));
  return fields;
}

bool is_digit(char c) { return c >= '0' && c <= '9'; }

// The whole number at the start of `text` (0 when none); `text` moves past it.
int take_number(std::string_view& text) {
  int value = 0;
  std::size_t i = 0;
  for (; i < text.size() && is_digit(text[i]); ++i) {
    if (value < 100000000) value = value * 10 + (text[i] - '0');
  }
  text.remove_prefix(i);
  return value;
}

// "W x H" at the start of `field`; false when the field does not start with one.
bool read_size(std::string_view field, int& width, int& height) {
  if (field.empty() || !is_digit(field[0])) return false;
  const int w = take_number(field);
  if (field.empty() || field[0] != 'x') return false;
  field.remove_prefix(1);
  if (field.empty() || !is_digit(field[0])) return false;
  width = w;
  height = take_number(field);
  return true;
}

// "SAR a:b" anywhere in `field`.
bool read_sample_aspect(std::string_view field, SampleAspect& aspect) {
  const std::size_t at = field.find("SAR ");
  if (at == std::string_view::npos) return false;
  std::string_view rest = field.substr(at + 4);
  const int num = take_number(rest);
  if (rest.empty() || rest[0] != ':') return false;
  rest.remove_prefix(1);
  const int den = take_number(rest);
  if (num > 0 && den > 0) aspect = {num, den};
  return true;
}

int degrees_from(std::string_view text) {
  const double value = std::atof(std::string(trimmed(text)).c_str());
  if (!std::isfinite(value)) return 0;
  const int whole = static_cast<int>(std::lround(std::fmod(value, 360.0)));
  return ((whole % 360) + 360) % 360;
}

void read_description(std::string_view description, VideoStreamLine& line) {
  const std::vector<std::string_view> fields = fields_of(description);
  line.codec = std::string(fields[0].substr(0, fields[0].find(' ')));
  for (std::size_t i = 1; i < fields.size(); ++i) {
    const std::string_view field = fields[i];
    if (read_size(field, line.width, line.height)) {
      read_sample_aspect(field, line.sample_aspect);
    } else if (field.starts_with("SAR ")) {
      read_sample_aspect(field, line.sample_aspect);
    } else if (field.ends_with(" fps")) {
      line.frame_rate = std::string(field.substr(0, field.size() - 4));
    } else if (i == 1 && !is_digit(field[0])) {
      line.pixel_format = std::string(field.substr(0, field.find('(')));
    }
  }
}

}  // namespace

VideoStreamLine read_video_stream_line(const std::string& console_text) {
  std::string_view text = console_text;
  if (const std::size_t output = text.find("Output #"); output != std::string_view::npos) text = text.substr(0, output);
  const std::vector<std::string_view> lines = lines_of(text);
  constexpr std::string_view video_marker = ": Video: ";
  VideoStreamLine line;
  for (std::size_t i = 0; i < lines.size(); ++i) {
    const std::string_view stripped = trimmed(lines[i]);
    const std::size_t at = stripped.find(video_marker);
    if (!stripped.starts_with("Stream #") || at == std::string_view::npos) continue;
    line.found = true;
    read_description(stripped.substr(at + video_marker.size()), line);
    // The stream's own metadata and side data follow, indented, up to the next stream
    // or an unindented line; the console text as the runner hands it over may hold
    // empty lines between them.
    for (std::size_t j = i + 1; j < lines.size(); ++j) {
      const std::string_view next = trimmed(lines[j]);
      if (next.empty()) continue;
      if (next.starts_with("Stream #") || (lines[j][0] != ' ' && lines[j][0] != '\t')) break;
      constexpr std::string_view matrix = "displaymatrix: rotation of ";
      if (next.starts_with(matrix)) {
        line.rotation = degrees_from(next.substr(matrix.size(), next.find(" degrees") - matrix.size()));
      } else if (next.starts_with("rotate ") || next.starts_with("rotate:")) {
        const std::size_t colon = next.find(':');
        if (colon != std::string_view::npos && line.rotation == 0) line.rotation = degrees_from(next.substr(colon + 1));
      }
    }
    break;
  }
  return line;
}
