#include "engine/common/file_helpers.h"

#include <filesystem>
#include <string_view>

#include "platform/event_pump.h"
#include "platform/files.h"
#include "platform/trash.h"

namespace {

std::string with_trailing_slash(const std::string& path) {
  return (!path.empty() && path.back() == '/') ? path : path + "/";
}

}  // namespace

bool ensure_directory(const std::string& path) {
  if (path.empty()) return false;
  return create_folders(with_trailing_slash(path));
}

std::string parent_folder(const std::string& path) {
  // UTF-8 continuation bytes are never "/", so a plain byte search is safe.
  const auto slash = path.find_last_of('/');
  return slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
}

std::string file_extension(const std::string& path) {
  // The last "." of the last part; a "/" or a blank after it means there is none
  // ("Season 1.Episode 2" has no extension).
  size_t dot = std::string::npos;
  for (size_t i = 0; i < path.size(); ++i) {
    if (path[i] == '/' || path[i] == ' ') {
      dot = std::string::npos;
    } else if (path[i] == '.') {
      dot = i;
    }
  }
  return dot == std::string::npos ? std::string() : path.substr(dot);
}

std::string file_name_from_path(const std::string& path, bool with_extension) {
  if (path.empty() || path.back() == '/') return {};
  const size_t slash = path.find_last_of('/');
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  if (!with_extension) name.resize(name.size() - file_extension(name).size());
  return name;
}

bool is_video_file(const std::string& path) {
  std::string extension = file_extension(path);
  if (extension.empty()) return false;
  for (char& c : extension) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  std::string_view list = video_extension_list;
  while (!list.empty()) {
    const auto comma = list.find(',');
    if (list.substr(0, comma) == extension) return true;
    if (comma == std::string_view::npos) break;
    list.remove_prefix(comma + 1);
  }
  return false;
}

int list_subfolders(const std::string& folder, std::vector<std::string>& list) {
  if (folder.empty()) return 0;
  const std::string base = with_trailing_slash(folder);
  std::vector<std::string> names;
  for (const FolderEntry& entry : list_folder_entries(base)) {
    if (entry.is_folder && entry.name.front() != '.') {
      names.push_back(entry.name);
      list.push_back(base + entry.name);
    }
    pump_messages();
  }
  int count = static_cast<int>(names.size());
  for (const std::string& name : names) {
    if (has_subfolder(base + name)) count += list_subfolders(base + name, list);
  }
  return count;
}

bool has_subfolder(const std::string& folder) {
  if (folder.empty()) return false;
  for (const FolderEntry& entry : list_folder_entries(with_trailing_slash(folder))) {
    if (entry.is_folder) return true;
  }
  return false;
}

bool copy_file(const std::string& source, const std::string& destination, bool fail_if_exists) {
  return copy_file_bytes(source, destination, fail_if_exists);
}

void clear_folder_files(const std::string& folder) {
  const std::string target = with_trailing_slash(folder);
  if (!is_valid_folder_path(target) || !is_directory(target)) return;
  // A link must not make the root folder's files go: check where it really leads.
  if (!is_valid_folder_path(resolve_real_path(target))) return;
  std::vector<std::string> files;
  enumerate_files(target, "*.*", files);
  for (const std::string& file : files) delete_file_via_shell(file);
}

bool is_valid_folder_path(const std::string& path) {
  if (path.empty() || path.front() != '/') return false;
  // lexically_normal collapses "//" and resolves "." and ".." without touching the disk.
  const std::string normal = std::filesystem::path(path).lexically_normal().string();
  return normal.find_first_not_of('/') != std::string::npos;
}

bool is_directory(const std::string& path) { return is_folder(path); }

int enumerate_files(const std::string& folder, const std::string& pattern, std::vector<std::string>& list) {
  list.clear();
  if (folder.empty()) return 0;
  const std::string base = with_trailing_slash(folder);
  for (const FolderEntry& entry : list_folder_entries(base)) {
    if (entry.is_folder || entry.link_to_folder || !name_matches_pattern(entry.name, pattern)) continue;
    list.push_back(base + entry.name);
    pump_messages();
  }
  return static_cast<int>(list.size());
}

void pump_messages() { process_pending_events(); }

bool delete_file_via_shell(const std::string& path) { return move_to_trash(path); }

std::int64_t get_file_size(const std::string& path) {
  const auto length = file_length(path);
  return length ? static_cast<std::int64_t>(*length) : file_size_query_failed;
}

bool delete_file(const std::string& path) { return remove_file(path); }
