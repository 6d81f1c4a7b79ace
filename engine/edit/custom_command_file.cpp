#include "engine/edit/custom_command_file.h"

#include "engine/globals.h"
#include "platform/files.h"

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";

}  // namespace

std::string custom_command_file_path() { return run_folder.get() + "/data/ffmpeg.txt"; }

std::string with_crlf_line_ends(std::string_view text) {
  std::string out;
  out.reserve(text.size() + text.size() / 16);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

std::string read_custom_command_file(const std::string& path) {
  const auto bytes = read_file_bytes(path);
  if (!bytes) return {};
  std::string_view text = *bytes;
  if (text.starts_with(utf8_bom)) text.remove_prefix(utf8_bom.size());
  text = text.substr(0, text.find('\0'));
  return with_crlf_line_ends(text);
}

std::string read_custom_command_file() { return read_custom_command_file(custom_command_file_path()); }

bool write_custom_command_file(const std::string& path, const std::string& text) {
  return replace_file_contents(path, with_crlf_line_ends(text));
}

bool write_custom_command_file(const std::string& text) {
  return write_custom_command_file(custom_command_file_path(), text);
}
