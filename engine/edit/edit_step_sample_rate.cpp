#include "engine/edit/edit_step_sample_rate.h"

#include <cmath>

#include "engine/common/decimal_text.h"
#include "engine/common/text_helpers.h"
#include "engine/edit/edit_step_common.h"

bool audio_rate_needs_default(const std::string& field_text) { return text_to_number(field_text) - 1 < -1e-7; }

std::string audio_sample_rate_text(const std::string& field_text) {
  const double rate = text_to_number(field_text) * 1000;
  return std::isfinite(rate) ? decimal_text(rate) : std::string();
}

void run_audio_sample_rate_step(EditVideoState& state, const EditPage& page) {
  if (!page.checked("audio_rate_check")) return;
  set_edit_status(page, state, "改音频采样率");
  const ControlRef field = page("audio_rate_field");
  if (audio_rate_needs_default(gui().text(field))) gui().set_text(field, audio_rate_default_text);
  const std::string rate = audio_sample_rate_text(gui().text(field));
  const int exit_status = rate.empty() ? -1 : run_edit_command(current_to_next_command(state, " -ac 1 -ar " + rate));
  if (!keep_step_output(state, page, "音频采样已改", exit_status)) {
    set_edit_status(page, state, audio_rate_not_applied_status);
  }
}
