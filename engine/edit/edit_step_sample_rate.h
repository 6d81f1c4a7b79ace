#pragma once
// The edit step that resamples the sound (audio_rate_check, the rate in kilohertz from
// audio_rate_field): mono sound at the rate R, " -ac 1 -ar R".
//
// The field is read as a number K (the number at its start; no number reads 0). When K
// is below 1 the field is set to "48" first and keeps that text, so the next save of the
// edit settings stores it. R is K x 1000 as decimal text ("%.13g": 44.1 gives 44100).
// A rate the work file's audio encoder refuses (1 kHz into AAC) keeps the previous work
// file, and the row's status then says the rate was not applied.

#include <string>

#include "engine/edit/edit_job_state.h"

inline constexpr const char* audio_rate_default_text = "48";
inline constexpr const char* audio_rate_not_applied_status = "音频采样未改";

// True when the field's text must be set to `audio_rate_default_text`: its number is
// below 1 (an empty field and a text that is no number included).
bool audio_rate_needs_default(const std::string& field_text);

// R for the field's text: its number times 1000 as decimal text ("" when that is no
// finite number).
std::string audio_sample_rate_text(const std::string& field_text);

void run_audio_sample_rate_step(EditVideoState& state, const EditPage& page);
