#pragma once
// Program-wide texts that several threads read: set at start-up (or when the edit
// options are applied) and read by the workers, probes and dialogs.

#include <atomic>
#include <mutex>
#include <string>
#include <vector>

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

// A list of texts that one thread may fill while others read it; reads return copies.
class SharedTextList {
 public:
  std::vector<std::string> get() const {
    std::lock_guard lock(mutex_);
    return values_;
  }
  void set(std::vector<std::string> values) {
    std::lock_guard lock(mutex_);
    values_ = std::move(values);
  }
  void append(std::string value) {
    std::lock_guard lock(mutex_);
    values_.push_back(std::move(value));
  }
  // The element at `index` (from 0); "" when there is none.
  std::string at(std::size_t index) const {
    std::lock_guard lock(mutex_);
    return index < values_.size() ? values_[index] : std::string();
  }
  std::size_t size() const {
    std::lock_guard lock(mutex_);
    return values_.size();
  }
  void clear() { set({}); }

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> values_;
};

// A pair of integers set and read as one value.
struct IntPair {
  int x = 0;
  int y = 0;
  friend bool operator==(const IntPair&, const IntPair&) = default;
};

class SharedIntPair {
 public:
  IntPair get() const {
    std::lock_guard lock(mutex_);
    return value_;
  }
  void set(IntPair value) {
    std::lock_guard lock(mutex_);
    value_ = value;
  }

 private:
  mutable std::mutex mutex_;
  IntPair value_;
};

// Every global below starts empty (pairs at 0, 0) and is released by
// `release_engine_globals` at the end of the program.

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

// The font file names behind the subtitle font combo's items: element k (from 0) is
// the file name, with its extension and without a folder, of item k.
extern SharedTextList font_file_names;
// The stream addresses found by the last search of the m3u8 dialog, in order.
extern SharedTextList regex_matches;
// The picture position editor's last mouse position over its preview, and the offset
// of the mouse from the dragged picture's top-left corner, in preview pixels.
extern SharedIntPair preview_mouse_pos;
extern SharedIntPair overlay_grab_offset;

// Empties every list and text above and sets the pairs to 0, 0.
void release_engine_globals();
