#include "tests/support/job_run_folder.h"

#include <filesystem>

#include "engine/common/globals.h"
#include "tests/support/test_env.h"

namespace test_env {

std::string use_job_run_folder(const std::string& parent, std::initializer_list<const char*> pictures) {
  const std::string run = make_run_folder(parent);
  run_folder.set(run);
  ffmpeg_exe_path.set(run + "/bin/ffmpeg");
  config_file_path.set(run + "/data/qfconfig.ini");
  ffmpeg_global_options.set("");
  progress_total_duration.set("");
  last_job_status.set("");
  for (const char* picture : pictures) {
    const std::filesystem::path target = std::filesystem::path(run) / picture;
    std::filesystem::create_directories(target.parent_path());
    std::filesystem::copy_file(std::filesystem::path(QF_SOURCE_DIR) / picture, target,
                               std::filesystem::copy_options::overwrite_existing);
  }
  return run;
}

}  // namespace test_env
