#include "platform/gui/file_filter.h"

#include "platform/files.h"

namespace {

std::vector<std::string> split(const std::string& text, char separator) {
  std::vector<std::string> parts;
  std::string::size_type start = 0;
  while (true) {
    const auto end = text.find(separator, start);
    parts.push_back(text.substr(start, end == std::string::npos ? std::string::npos : end - start));
    if (end == std::string::npos) break;
    start = end + 1;
  }
  return parts;
}

std::string trim_blanks(const std::string& text) {
  const auto first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

}  // namespace

std::vector<FileFilter> parse_file_filter(const std::string& filter) {
  std::vector<FileFilter> filters;
  if (filter.empty()) return filters;
  const std::vector<std::string> parts = split(filter, '|');
  for (std::size_t i = 0; i < parts.size(); i += 2) {
    if (parts[i].empty() && i + 1 >= parts.size()) break;  // a trailing "|"
    FileFilter f;
    f.name = parts[i];
    if (i + 1 < parts.size()) {
      for (const std::string& p : split(parts[i + 1], ';')) {
        std::string pattern = trim_blanks(p);
        if (!pattern.empty()) f.patterns.push_back(std::move(pattern));
      }
    }
    filters.push_back(std::move(f));
  }
  return filters;
}

bool file_filter_matches(const std::vector<std::string>& patterns, const std::string& file_name) {
  const auto slash = file_name.rfind('/');
  const std::string name = slash == std::string::npos ? file_name : file_name.substr(slash + 1);
  for (const std::string& pattern : patterns) {
    if (name_matches_pattern(name, pattern)) return true;
  }
  return false;
}
