#include "engine/edit/custom_command_file.h"

#include "engine/common/globals.h"
#include "platform/codepage.h"
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
  const bool bom = text.starts_with(utf8_bom);
  if (bom) text.remove_prefix(utf8_bom.size());
  text = text.substr(0, text.find('\0'));
  // A file with a byte-order mark says it is UTF-8; any other is UTF-8 when it reads
  // as UTF-8, else it was written in code page 936.
  return with_crlf_line_ends(bom ? std::string(text) : decode_file_text(text).text);
}

std::string read_custom_command_file() { return read_custom_command_file(custom_command_file_path()); }

bool write_custom_command_file(const std::string& path, const std::string& text) {
  // The encoding of the file that is replaced: a file in code page 936 stays in it.
  FileTextEncoding encoding = FileTextEncoding::utf8;
  if (const auto old = read_file_bytes(path); old && !std::string_view(*old).starts_with(utf8_bom)) {
    const std::string_view old_text = std::string_view(*old).substr(0, old->find('\0'));
    if (!is_valid_utf8(old_text)) encoding = FileTextEncoding::gbk;
  }
  return replace_file_contents(path, encode_file_text(with_crlf_line_ends(text), encoding));
}

bool write_custom_command_file(const std::string& text) {
  return write_custom_command_file(custom_command_file_path(), text);
}
