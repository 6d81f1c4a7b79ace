#include "engine/globals.h"

SharedText run_folder;
SharedText ffmpeg_exe_path;
SharedText config_file_path;
SharedText ffmpeg_global_options;
SharedText ffmpeg_output;
SharedText progress_total_duration;
SharedText last_job_status;
SharedText output_format;
std::atomic<bool> stop_requested{false};
