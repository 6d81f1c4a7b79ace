#include "platform/shortpath.h"

#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <map>
#include <mutex>

#include "platform/files.h"

namespace {

bool is_plain_byte(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' || c == '-' ||
         c == '.';
}

bool is_plain_folder(const std::string& path) {
  if (path.empty() || path.front() != '/') return false;
  for (const char c : path) {
    if (c != '/' && !is_plain_byte(c)) return false;
  }
  return true;
}

// What this process holds: never destroyed, so the exit handler and threads still
// running at exit can use it.
struct AliasState {
  std::mutex mutex;
  std::string folder;  // "" while none is made
  pid_t owner = 0;     // the process that made the folder
  unsigned counter = 0;
  bool exit_handler_registered = false;
  std::map<std::string, std::string> alias_of;     // absolute original -> alias
  std::map<std::string, std::string> original_of;  // alias -> absolute original
};

AliasState& state() {
  static AliasState* instance = new AliasState;
  return *instance;
}

void remove_locked(AliasState& s) {
  if (!s.folder.empty() && s.owner == getpid()) remove_folder_tree(s.folder);
  s.folder.clear();
  s.alias_of.clear();
  s.original_of.clear();
}

void remove_at_exit() {
  AliasState& s = state();
  std::lock_guard lock(s.mutex);
  remove_locked(s);
}

// Makes the private folder when there is none (or it belongs to the parent of a
// forked child); false when it cannot be made.
bool ensure_folder_locked(AliasState& s) {
  if (!s.folder.empty() && s.owner == getpid()) return true;
  s.folder.clear();
  s.alias_of.clear();
  s.original_of.clear();
  for (const char* variable : {"XDG_RUNTIME_DIR", "TMPDIR", ""}) {
    std::string base = *variable ? (std::getenv(variable) ? std::getenv(variable) : "") : "/tmp";
    while (base.size() > 1 && base.back() == '/') base.pop_back();
    if (!is_plain_folder(base) || !is_folder(base)) continue;
    std::string pattern = (base == "/" ? "" : base) + "/qf-aliases-XXXXXX";
    if (!mkdtemp(pattern.data())) continue;  // mode 0700
    s.folder = pattern;
    s.owner = getpid();
    if (!s.exit_handler_registered) s.exit_handler_registered = std::atexit(remove_at_exit) == 0;
    return true;
  }
  return false;
}

std::string absolute_form(const std::string& path) {
  if (path.front() == '/') return path;
  char buffer[PATH_MAX];
  if (!getcwd(buffer, sizeof buffer)) return "";
  std::string current = buffer;
  if (current.back() != '/') current += '/';
  return current + path;
}

// The original's extension from its last dot, kept only when it is plain; "" else.
std::string plain_extension(const std::string& absolute) {
  std::string name = absolute;
  while (name.size() > 1 && name.back() == '/') name.pop_back();
  name = name.substr(name.rfind('/') + 1);
  const std::size_t dot = name.rfind('.');
  if (dot == std::string::npos || dot == 0 || dot + 1 == name.size()) return "";
  const std::string extension = name.substr(dot);
  for (std::size_t i = 1; i < extension.size(); ++i) {
    if (!is_plain_byte(extension[i]) || extension[i] == '.') return "";
  }
  return extension;
}

}  // namespace

bool path_needs_alias(const std::string& text) {
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte <= 0x20 || byte == 0x7F || c == '"' || c == '\'' || c == '\\' || c == '%') return true;
  }
  return false;
}

std::string make_path_alias(const std::string& path) {
  if (path.empty()) return "";
  const std::string absolute = absolute_form(path);
  if (absolute.empty()) return "";
  // Something there, or a file still to be made in an existing folder.
  std::string folder = absolute;
  while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
  folder = folder.substr(0, folder.rfind('/') + 1);
  if (!path_exists(absolute) && !(absolute.back() != '/' && is_folder(folder))) return "";

  AliasState& s = state();
  std::lock_guard lock(s.mutex);
  if (!ensure_folder_locked(s)) return "";
  if (const auto known = s.alias_of.find(absolute); known != s.alias_of.end()) return known->second;
  const std::string alias = s.folder + "/" + std::to_string(++s.counter) + plain_extension(absolute);
  if (symlink(absolute.c_str(), alias.c_str()) != 0) return "";
  s.alias_of[absolute] = alias;
  s.original_of[alias] = absolute;
  return alias;
}

std::string path_behind_alias(const std::string& path) {
  AliasState& s = state();
  std::lock_guard lock(s.mutex);
  const auto known = s.original_of.find(path);
  return known == s.original_of.end() ? path : known->second;
}

std::string path_alias_folder() {
  AliasState& s = state();
  std::lock_guard lock(s.mutex);
  return s.owner == getpid() ? s.folder : "";
}

void remove_path_aliases() {
  AliasState& s = state();
  std::lock_guard lock(s.mutex);
  remove_locked(s);
}
