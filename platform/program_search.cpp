#include "platform/program_search.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>

std::string find_program_on_path(const std::string& name) {
  const char* variable = std::getenv("PATH");
  if (name.empty() || name.find('/') != std::string::npos || !variable) return "";
  const std::string path = variable;
  std::size_t at = 0;
  while (at <= path.size()) {
    std::size_t end = path.find(':', at);
    if (end == std::string::npos) end = path.size();
    std::string folder = path.substr(at, end - at);
    at = end + 1;
    if (folder.empty() || folder.front() != '/') continue;
    if (folder.back() != '/') folder += '/';
    const std::string candidate = folder + name;
    struct stat info {};
    if (stat(candidate.c_str(), &info) == 0 && S_ISREG(info.st_mode) && access(candidate.c_str(), X_OK) == 0)
      return candidate;
  }
  return "";
}

bool link_to_program(const std::string& target, const std::string& path) {
  if (target.empty() || path.empty()) return false;
  if (symlink(target.c_str(), path.c_str()) == 0) return true;
  if (errno != EEXIST) return false;
  // Only a link whose target is gone gives way.
  struct stat link_info {}, target_info {};
  if (lstat(path.c_str(), &link_info) != 0 || !S_ISLNK(link_info.st_mode) || stat(path.c_str(), &target_info) == 0)
    return false;
  // A new link beside it takes its place in one step.
  const std::string fresh = path + ".new-link";
  unlink(fresh.c_str());
  if (symlink(target.c_str(), fresh.c_str()) != 0) return false;
  if (rename(fresh.c_str(), path.c_str()) != 0) {
    unlink(fresh.c_str());
    return false;
  }
  return true;
}
