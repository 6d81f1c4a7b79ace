#include "platform/profile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <mutex>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/codepage.h"
#include "platform/files.h"

namespace {

constexpr std::string_view utf8_bom = "\xEF\xBB\xBF";

std::mutex profile_write_mutex;

std::string_view trim(std::string_view s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string_view::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

bool equal_ignoring_ascii_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    char x = a[i], y = b[i];
    if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
    if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
    if (x != y) return false;
  }
  return true;
}

// A file split into lines (UTF-8) without their line ends.
struct IniText {
  bool bom = false;
  FileTextEncoding encoding = FileTextEncoding::utf8;
  std::vector<std::string> lines;
};

IniText split_lines(std::string_view file_bytes) {
  IniText text;
  std::string decoded;
  if (file_bytes.substr(0, utf8_bom.size()) == utf8_bom) {
    text.bom = true;
    file_bytes.remove_prefix(utf8_bom.size());
  } else {
    // A file without a byte-order mark that is no UTF-8 was carried over in code page
    // 936; it is read in it, and written back in it.
    FileText file = decode_file_text(file_bytes);
    text.encoding = file.encoding;
    decoded = std::move(file.text);
    if (text.encoding == FileTextEncoding::gbk) file_bytes = decoded;
  }
  std::string_view bytes = file_bytes;
  while (!bytes.empty()) {
    const auto nl = bytes.find('\n');
    std::string_view line = bytes.substr(0, nl);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    text.lines.emplace_back(line);
    if (nl == std::string_view::npos) break;
    bytes.remove_prefix(nl + 1);
  }
  return text;
}

// The section name of a header line, or nothing when the line is no header.
std::optional<std::string_view> section_of(std::string_view line) {
  line = trim(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  line.remove_prefix(1);
  return trim(line.substr(0, line.find(']')));
}

// Where a key sits in a file: the lines of the first section of that name and the
// key's first line in it.
struct KeyPlace {
  std::optional<size_t> header;     // the section's header line
  size_t section_end = 0;           // one past the section's last line
  std::optional<size_t> key_line;   // the key's line
};

KeyPlace find_key(const std::vector<std::string>& lines, std::string_view section, std::string_view key) {
  KeyPlace place;
  for (size_t i = 0; i < lines.size(); ++i) {
    const auto name = section_of(lines[i]);
    if (name) {
      if (place.header) break;  // the section ends at the next header
      if (equal_ignoring_ascii_case(*name, section)) place.header = i;
      continue;
    }
    if (!place.header) continue;
    place.section_end = i + 1;
    if (place.key_line) continue;
    const std::string_view line = lines[i];
    const auto eq = line.find('=');
    if (eq != std::string_view::npos && equal_ignoring_ascii_case(trim(line.substr(0, eq)), key)) {
      place.key_line = i;
    }
  }
  if (place.header && place.section_end == 0) place.section_end = *place.header + 1;
  return place;
}

bool holds_forbidden_byte(std::string_view s) { return s.find_first_of(std::string_view("\r\n\0", 3)) != s.npos; }

}  // namespace

std::string read_profile_text(const std::string& path, const std::string& section, const std::string& key,
                              const std::string& default_value) {
  const std::string_view wanted_section = trim(section), wanted_key = trim(key);
  if (wanted_key.empty()) return default_value;
  const auto bytes = read_file_bytes(path);
  if (!bytes) return default_value;
  const IniText text = split_lines(*bytes);
  const KeyPlace place = find_key(text.lines, wanted_section, wanted_key);
  if (!place.key_line) return default_value;
  const std::string_view line = text.lines[*place.key_line];
  return std::string(trim(line.substr(line.find('=') + 1)));
}

namespace {

bool valid_section(std::string_view section) {
  const std::string_view name = trim(section);
  return !name.empty() && !holds_forbidden_byte(section) && name.find(']') == name.npos;
}

bool valid_pair(const std::string& key, const std::string& value) {
  const std::string_view name = trim(key);
  return !name.empty() && !holds_forbidden_byte(key) && !holds_forbidden_byte(value) &&
         name.find('=') == name.npos && name.front() != '[';
}

// Applies `pairs` (all valid) to the file's lines in order, as one write each would.
void apply_pairs(IniText& text, std::string_view section, const std::vector<std::pair<std::string, std::string>>& pairs) {
  for (const auto& [key, value] : pairs) {
    const std::string_view name = trim(key);
    const KeyPlace place = find_key(text.lines, section, name);
    if (place.key_line) {
      std::string& line = text.lines[*place.key_line];
      line = line.substr(0, line.find('=') + 1) + value;
    } else if (place.header) {
      // After the section's last line that is not blank, so a blank line before the
      // next section stays where it is.
      size_t at = place.section_end;
      while (at > *place.header + 1 && trim(text.lines[at - 1]).empty()) --at;
      text.lines.insert(text.lines.begin() + static_cast<std::ptrdiff_t>(at), std::string(name) + "=" + value);
    } else {
      text.lines.push_back("[" + std::string(section) + "]");
      text.lines.push_back(std::string(name) + "=" + value);
    }
  }
}

// Reads the file once, applies the pairs and replaces it once. False when the file
// cannot be read or replaced.
bool write_pairs(const std::string& path, std::string_view section,
                 const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::lock_guard lock(profile_write_mutex);
  // Write through a link to its target, so that the link stays.
  std::string target = path;
  mode_t mode = 0644;
  struct stat st;
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode)) {
      char real[PATH_MAX];
      if (!::realpath(path.c_str(), real)) return false;
      target = real;
      if (::stat(target.c_str(), &st) != 0) return false;
    }
    if (!S_ISREG(st.st_mode)) return false;
    mode = st.st_mode & 07777;
  }

  bool missing = false;
  const auto bytes = read_file_bytes(target, &missing);
  if (!bytes && !missing) return false;  // never replace a file that could not be read
  IniText text = bytes ? split_lines(*bytes) : IniText{};
  apply_pairs(text, section, pairs);

  std::string out;
  if (text.bom) out += utf8_bom;
  for (const auto& line : text.lines) {
    out += line;
    out += "\r\n";
  }
  return replace_file_contents(target, encode_file_text(out, text.encoding), mode);
}

}  // namespace

bool write_profile_text(const std::string& path, const std::string& section, const std::string& key,
                        const std::string& value) {
  if (path.empty() || !valid_section(section) || !valid_pair(key, value)) return false;
  return write_pairs(path, trim(section), {{key, value}});
}

bool write_profile_texts(const std::string& path, const std::string& section,
                         const std::vector<std::pair<std::string, std::string>>& pairs) {
  if (path.empty() || !valid_section(section)) return false;
  std::vector<std::pair<std::string, std::string>> accepted;
  accepted.reserve(pairs.size());
  for (const auto& pair : pairs)
    if (valid_pair(pair.first, pair.second)) accepted.push_back(pair);
  if (accepted.empty()) return pairs.empty();
  return write_pairs(path, trim(section), accepted) && accepted.size() == pairs.size();
}
