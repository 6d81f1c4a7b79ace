#include "engine/common/globals.h"

SharedText run_folder;
SharedText ffmpeg_exe_path;
SharedText config_file_path;
SharedText ffmpeg_global_options;
SharedText ffmpeg_output;
SharedText progress_total_duration;
SharedText last_job_status;
SharedText output_format;
std::atomic<bool> stop_requested{false};

SharedTextList font_file_names;
SharedTextList regex_matches;
SharedIntPair preview_mouse_pos;
SharedIntPair overlay_grab_offset;

void release_engine_globals() {
  for (SharedText* text : {&run_folder, &ffmpeg_exe_path, &config_file_path, &ffmpeg_global_options, &ffmpeg_output,
                           &progress_total_duration, &last_job_status, &output_format})
    text->set({});
  font_file_names.clear();
  regex_matches.clear();
  preview_mouse_pos.set({});
  overlay_grab_offset.set({});
}
