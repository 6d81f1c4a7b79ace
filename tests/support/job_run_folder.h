#pragma once
// The program-wide setting-up that every job test needs: a run folder in a temporary
// folder, made the program's run folder, with the converter and settings paths set,
// the values a previous test may have left (global converter options, progress total,
// last status word) emptied, and the pictures the job shows copied into it.

#include <initializer_list>
#include <string>

namespace test_env {

// Makes a run folder under `parent` (make_run_folder), sets run_folder,
// ffmpeg_exe_path and config_file_path to it, empties ffmpeg_global_options,
// progress_total_duration and last_job_status, and copies each of `pictures` (paths
// relative to the source tree, e.g. "resources/stop.png") to the same relative path in
// the run folder. Returns the run folder.
std::string use_job_run_folder(const std::string& parent, std::initializer_list<const char*> pictures = {});

}  // namespace test_env
