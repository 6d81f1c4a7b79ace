#include "platform/sysinfo.h"

#include <sys/utsname.h>

#include <string_view>

std::string os_version_name() {
  struct utsname names;
  if (::uname(&names) != 0) return {};
  const std::string_view release(names.release);
  size_t end = 0;
  while (end < release.size() && ((release[end] >= '0' && release[end] <= '9') || release[end] == '.')) ++end;
  while (end > 0 && release[end - 1] == '.') --end;
  const std::string_view version = end > 0 ? release.substr(0, end) : release;
  std::string name(names.sysname);
  if (!version.empty()) name += " " + std::string(version);
  return name;
}

bool is_64bit_system() {
  struct utsname names;
  if (::uname(&names) != 0) return false;
  const std::string_view machine(names.machine);
  return machine.find("64") != std::string_view::npos || machine == "s390x";
}
