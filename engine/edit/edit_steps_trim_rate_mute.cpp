#include "engine/edit/edit_steps_trim_rate_mute.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "engine/common/text_helpers.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_step_common.h"

namespace {

// `value` truncated toward zero to whole seconds, held inside the range of an int.
int whole_seconds(double value) {
  if (std::isnan(value)) return 0;
  constexpr double low = std::numeric_limits<int>::min(), high = std::numeric_limits<int>::max();
  return static_cast<int>(std::trunc(std::clamp(value, low, high)));
}

// One re-encoding step: its first form and its retry differ only in their options.
struct RetryStep {
  const char* before_status;
  const char* done_status;
  std::string options;
  std::string retry_options;
};

void run_retry_step(EditVideoState& state, const EditPage& page, const RetryStep& step) {
  set_edit_status(page, state, step.before_status);
  if (edit_step_retry(state, current_to_next_command(state, step.options),
                      current_to_next_command(state, step.retry_options))) {
    set_edit_status(page, state, step.done_status);
  }
}

}  // namespace

TrimValues compute_trim_values(int full_length, bool head_on, double head, bool tail_on, double tail) {
  TrimValues values{0, "00:00:00", full_length};
  if (head_on) {
    values.start_seconds = whole_seconds(head);
    values.trim_start = format_seconds_hms(values.start_seconds);
    values.kept_length = whole_seconds(full_length - head);
  }
  if (tail_on) values.kept_length = whole_seconds(values.kept_length - tail);
  return values;
}

bool trim_step_applies(const TrimValues& values, int full_length) {
  // A negative head cannot be a start: the converter refuses it.
  return values.kept_length > 0 && values.kept_length < full_length && values.start_seconds >= 0;
}

void run_trim_ends_step(EditVideoState& state, const EditPage& page) {
  const bool head_on = page.checked("head_trim_check"), tail_on = page.checked("tail_trim_check");
  const std::string head = page.text("head_trim_seconds_field"), tail = page.text("tail_trim_seconds_field");
  const TrimValues values =
      compute_trim_values(state.full_length, head_on, text_to_number(head), tail_on, text_to_number(tail));
  state.trim_start = values.trim_start;
  state.kept_length = values.kept_length;
  // A typed length that is no number was not applied as typed.
  if (head_on && !is_decimal_text(head, true)) mark_option_not_applied(state, "head_trim_check");
  if (tail_on && !is_decimal_text(tail, true)) mark_option_not_applied(state, "tail_trim_check");
  if (!trim_step_applies(values, state.full_length)) {
    // A cut was asked for that cannot be made (it would leave nothing, start before the
    // video or lengthen it).
    if (values.start_seconds != 0 || values.kept_length != state.full_length) mark_step_not_applied(state);
    return;
  }
  const std::string cut = " -ss " + values.trim_start + " -t " + std::to_string(values.kept_length);
  run_retry_step(state, page, {"修减片断中", "修减完成", cut + " -vcodec h264", cut + " -c:v h264"});
}

void run_frame_rate_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("frame_rate_check")) return;
  const std::string rate = page.text("frame_rate_field");
  if (!is_frame_rate_text(rate)) {
    // Not a rate: no command, and nothing claimed.
    set_edit_status(page, state, "正在改帧速率");
    return;
  }
  run_retry_step(state, page,
                 {"正在改帧速率", "帧速率已改好", " -r " + rate + " -vcodec h264", " -r " + rate + " -c:v h264"});
}

void run_remove_audio_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("mute_check")) return;
  run_retry_step(state, page, {"正在去声音", "视频已无声", " -vcodec h264 -an", " -vcodec copy -an"});
}
