#include "engine/edit/edit_step_playback_speed.h"

#include <cmath>
#include <limits>

#include "engine/common/decimal_text.h"
#include "engine/common/text_helpers.h"
#include "engine/converter/media_probes.h"
#include "engine/edit/edit_field_values.h"
#include "engine/edit/edit_step_common.h"

namespace {

// The range of one atempo filter.
constexpr double lowest_tempo = 0.5;
constexpr double highest_tempo = 100.0;

std::optional<double> typed_speed(const std::string& speed) {
  if (!is_decimal_text(speed)) return std::nullopt;
  const double value = text_to_number(speed);
  if (!(value > 0) || !std::isfinite(1 / value)) return std::nullopt;
  return value;
}

}  // namespace

std::string atempo_chain_text(double tempo) {
  std::string chain;
  while (tempo < lowest_tempo) {
    chain += "atempo=" + decimal_text(lowest_tempo) + ",";
    tempo /= lowest_tempo;
  }
  while (tempo > highest_tempo) {
    chain += "atempo=" + decimal_text(highest_tempo) + ",";
    tempo /= highest_tempo;
  }
  return chain + "atempo=" + decimal_text(tempo);
}

std::optional<std::string> playback_speed_filter_text(const std::string& speed, bool with_sound) {
  const std::optional<double> value = typed_speed(speed);
  if (!value) return std::nullopt;
  std::string filter = "[0:v]setpts=" + speed + "*PTS[v]";
  if (with_sound) filter += ";[0:a]" + atempo_chain_text(1 / *value) + "[a]";
  return filter;
}

int length_after_speed(int seconds, double speed) {
  if (seconds <= 0) return seconds;
  const double scaled = std::floor(seconds * speed + 1e-7);
  if (scaled >= static_cast<double>(std::numeric_limits<int>::max())) return std::numeric_limits<int>::max();
  return static_cast<int>(scaled);
}

void run_playback_speed_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("speed_check")) return;
  set_edit_status(page, state, "改播放倍速");
  const std::string speed = page.text("speed_combo");
  if (!typed_speed(speed)) return;
  const bool with_sound = probe_stream_facts(state.current_file()).has_audio;
  const std::string filter = *playback_speed_filter_text(speed, with_sound);
  std::string options = " -filter_complex \"" + filter + "\" -map \"[v]\"";
  if (with_sound) options += " -map \"[a]\"";
  const int exit_status = run_edit_command(current_to_next_command(state, options));
  if (!keep_step_output(state, page, "播放倍速已改", exit_status)) return;
  const double value = text_to_number(speed);
  state.full_length = length_after_speed(state.full_length, value);
  state.kept_length = length_after_speed(state.kept_length, value);
}
