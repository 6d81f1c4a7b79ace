#include "engine/common/job_output_names.h"

#include "engine/common/file_helpers.h"
#include "platform/files.h"

namespace {

// One key per file: the folder's real path when it exists, then the name.
std::string output_key(const std::string& path) {
  const std::string folder = parent_folder(path);
  const std::string name = path.substr(folder.size());
  const std::string real = folder.empty() ? std::string() : resolve_real_path(folder);
  return (real.empty() ? folder : real + "/") + name;
}

}  // namespace

std::string numbered_output_name(const std::string& path, int n) {
  const std::string extension = file_extension(path);
  const std::string stem = path.substr(0, path.size() - extension.size());
  return stem + "(" + std::to_string(n) + ")" + extension;
}

bool JobOutputNames::claimed(const std::string& path) const { return claimed_.count(output_key(path)) > 0; }

std::string JobOutputNames::claim(const std::string& path, const std::function<bool(const std::string&)>& unusable) {
  std::string candidate = path;
  for (int n = 2; claimed(candidate) || (unusable && unusable(candidate)); ++n) {
    candidate = numbered_output_name(path, n);
  }
  claimed_.insert(output_key(candidate));
  return candidate;
}
