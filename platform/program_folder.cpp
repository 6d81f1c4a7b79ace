#include "platform/program_folder.h"

#include <unistd.h>

#include <climits>

std::string executable_folder() {
  char buffer[PATH_MAX];
  const ssize_t length = readlink("/proc/self/exe", buffer, sizeof buffer);
  if (length <= 0 || static_cast<std::size_t>(length) >= sizeof buffer) return {};
  std::string path(buffer, static_cast<std::size_t>(length));
  const std::size_t slash = path.rfind('/');
  if (slash == std::string::npos) return {};
  return slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool set_current_folder(const std::string& folder) { return !folder.empty() && chdir(folder.c_str()) == 0; }
