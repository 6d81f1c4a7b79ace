#pragma once
// The filter text of open-file dialogs: pairs of a display name and a pattern list,
// every part separated by "|", e.g. "视频文件|*.mp4;*.wmv|所有格式|*.*". Patterns
// within a list are separated by ";" and may hold "*" (any run of characters) and
// "?" (one character); they match a file name (without its folder) without regard
// to ASCII letter case, so "*.mp4" also matches "A.MP4".

#include <string>
#include <vector>

struct FileFilter {
  std::string name;
  std::vector<std::string> patterns;  // blanks around each pattern trimmed, empty ones dropped
  friend bool operator==(const FileFilter&, const FileFilter&) = default;
};

// The pairs of a filter text, in order. A trailing name without a pattern list gets
// no patterns; empty text gives no pairs.
std::vector<FileFilter> parse_file_filter(const std::string& filter);

// True when the file name (a path's folder part is ignored) matches one of the
// patterns. "*" and "*.*" match every name.
bool file_filter_matches(const std::vector<std::string>& patterns, const std::string& file_name);
