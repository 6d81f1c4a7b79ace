#include "engine/merge/merge_work_folders.h"

#include "engine/common/file_helpers.h"
#include "platform/files.h"

namespace {

std::string without_trailing_separator(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return path;
}

bool lies_inside(const std::string& real_path, const std::string& real_folder) {
  return real_path.size() > real_folder.size() + 1 && real_path.compare(0, real_folder.size(), real_folder) == 0 &&
         real_path[real_folder.size()] == '/';
}

}  // namespace

std::string merge_work_folder(const std::string& run_folder, const char* name) {
  return run_folder + "/" + name + "/";
}

bool is_own_merge_work_folder(const std::string& folder, const std::string& run_folder,
                              const std::vector<std::string>& listed_sources) {
  if (run_folder.empty() || !is_valid_folder_path(run_folder) || !is_valid_folder_path(folder)) return false;
  const std::string real_run = resolve_real_path(run_folder);
  const std::string real_folder = resolve_real_path(folder);
  if (real_run.empty() || real_folder.empty() || !is_folder(real_folder)) return false;
  // Right under the run folder, by the name the job gave it.
  const std::string name = without_trailing_separator(folder).substr(without_trailing_separator(folder).rfind('/') + 1);
  if (real_folder != (real_run == "/" ? "" : real_run) + "/" + name) return false;
  for (const std::string& source : listed_sources) {
    const std::string real_source = resolve_real_path(source);
    if (!real_source.empty() && lies_inside(real_source, real_folder)) return false;
  }
  return true;
}

bool prepare_merge_work_folder(const std::string& folder, const std::string& run_folder,
                               const std::vector<std::string>& listed_sources) {
  if (!ensure_directory(folder)) return false;
  if (!is_own_merge_work_folder(folder, run_folder, listed_sources)) return false;
  clear_folder_files(without_trailing_separator(folder));
  return true;
}

void remove_merge_work_folder(const std::string& folder, const std::string& run_folder,
                              const std::vector<std::string>& listed_sources) {
  if (!path_exists(folder)) return;
  if (is_own_merge_work_folder(folder, run_folder, listed_sources)) remove_folder_tree(without_trailing_separator(folder));
}
