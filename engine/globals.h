#pragma once
// Program-wide texts that several threads read: set at start-up (or when the edit
// options are applied) and read by the workers, probes and dialogs.

#include <atomic>
#include <mutex>
#include <string>

// A text that one thread may set while others read it; reads return copies.
class SharedText {
 public:
  std::string get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void set(std::string value) {
    std::lock_guard lock(mutex_);
    value_ = std::move(value);
  }

 private:
  mutable std::mutex mutex_;
  std::string value_;
};

// The folder of the executable, without a trailing "/".
extern SharedText run_folder;
// run folder + "/bin/ffmpeg": the program of every converter run.
extern SharedText ffmpeg_exe_path;
// run folder + "/data/qfconfig.ini": the settings file.
extern SharedText config_file_path;
// " -threads N" and/or " -hwaccel auto", built from the edit page; stands in front
// of the workers' commands and the duration probe.
extern SharedText ffmpeg_global_options;
// The console text of the last converter run that collected it (the edit and merge
// jobs read the frame size from it).
extern SharedText ffmpeg_output;

// Values the batch jobs share with their start handlers and the progress display. They
// are single values, which is one reason why only one job runs at a time.
// The duration text of the file the running command reads (set before each run that
// reports progress; "" when the probe found none).
extern SharedText progress_total_duration;
// The status word of the last progress report.
extern SharedText last_job_status;
// The container the running job writes ("mp4", ..., "mp3" on the convert page).
extern SharedText output_format;
// Set by a stop button (or shutdown); the running job reads it after each unit of work.
extern std::atomic<bool> stop_requested;
