#include "engine/converter/job_progress.h"

#include <climits>
#include <cmath>

#include "engine/common/globals.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/converter_runner.h"
#include "platform/event_pump.h"
#include "platform/gui/gui.h"

int job_progress_percent(const std::string& time, const std::string& total) {
  const int a = fixed_hms_to_seconds(time);
  const int b = fixed_hms_to_seconds(total);
  if (b == 0) return 0;
  const double x = static_cast<double>(a) / b * 100 + 1e-12;
  double n = std::trunc(x);
  if (x - n >= 0.5) n += 1;
  const double r = n / 100;
  const double p = std::trunc(r * 100);
  if (p >= INT_MAX) return INT_MAX;
  if (p <= INT_MIN) return INT_MIN;
  return static_cast<int>(p);
}

void job_progress_callback(const std::string& status, const std::string& time) {
  const std::string status_copy = status;
  const std::string time_copy = time;
  show_job_progress(status_copy, time_copy);
}

void show_job_progress(const std::string& status, const std::string& time) {
  const WindowToken window = main_window();
  const ControlRef label{window, "file_progress_label"};
  const ControlRef bar{window, "file_progress_bar"};
  const int percent = job_progress_percent(time, progress_total_duration.get());
  gui().set_text(label, std::to_string(percent) + " %");
  gui().set_value(bar, percent);
  last_job_status.set(status);
  if (status == run_status_finished || status == run_status_running || status == run_status_io_error) {
    gui().set_text(label, "100 %");
    gui().set_value(bar, 100);
    process_pending_events();
  }
}
