#include "engine/edit/edit_job_steps.h"

#include "engine/converter/worker_threads.h"
#include "engine/edit/edit_custom_commands.h"
#include "engine/edit/edit_step_added_audio.h"
#include "engine/edit/edit_step_playback_speed.h"
#include "engine/edit/edit_step_random_transition.h"
#include "engine/edit/edit_step_sample_rate.h"
#include "engine/edit/edit_step_subtitle.h"
#include "engine/edit/edit_steps_effects.h"
#include "engine/edit/edit_steps_framing.h"
#include "engine/edit/edit_steps_orientation.h"
#include "engine/edit/edit_steps_picture_filters.h"
#include "engine/edit/edit_steps_pictures.h"
#include "engine/edit/edit_steps_trim_rate_mute.h"

namespace {

// The chain. A step is plugged in by naming its function in its slot.
constexpr std::array<EditStepSlot, edit_step_count> slots = {{
    {EditStep::CustomCommandsBefore, "CustomCommandsBefore", run_custom_commands_before},
    {EditStep::TrimEnds, "TrimEnds", run_trim_ends_step},
    {EditStep::FrameRate, "FrameRate", run_frame_rate_step},
    {EditStep::Sharpen, "Sharpen", run_sharpen_step},
    {EditStep::Desaturate, "Desaturate", run_desaturate_step},
    {EditStep::RemoveAudio, "RemoveAudio", run_remove_audio_step},
    {EditStep::FlickerVignette, "FlickerVignette", run_flicker_vignette_step},
    {EditStep::PortraitToLandscape, "PortraitToLandscape", run_portrait_to_landscape_step, false},
    {EditStep::LandscapeToPortrait, "LandscapeToPortrait", run_landscape_to_portrait_step},
    {EditStep::FlipHorizontal, "FlipHorizontal", run_flip_horizontal_step},
    {EditStep::FlipVertical, "FlipVertical", run_flip_vertical_step},
    {EditStep::RotateClockwise, "RotateClockwise", run_rotate_clockwise_step},
    {EditStep::RotateCounterClockwise, "RotateCounterClockwise", run_rotate_counter_clockwise_step},
    {EditStep::RandomTransition, "RandomTransition", run_random_transition_step},
    {EditStep::FadeIn, "FadeIn", run_fade_in_step},
    {EditStep::HueCycle, "HueCycle", run_hue_cycle_step},
    {EditStep::Vignette, "Vignette", run_vignette_step},
    {EditStep::PlaybackSpeed, "PlaybackSpeed", run_playback_speed_step},
    {EditStep::AudioSampleRate, "AudioSampleRate", run_audio_sample_rate_step},
    {EditStep::ScrollingSubtitle, "ScrollingSubtitle", run_scrolling_subtitle_step},
    {EditStep::MixAudioFile, "MixAudioFile", run_mix_audio_file_step},
    {EditStep::RemoveLogo, "RemoveLogo", run_remove_logo_step},
    {EditStep::PictureWatermark, "PictureWatermark", run_picture_watermark_step},
    {EditStep::TopBottomPictures, "TopBottomPictures", run_top_bottom_pictures_step},
    {EditStep::Resize, "Resize", run_resize_step},
    {EditStep::BackgroundPicture, "BackgroundPicture", run_background_picture_step},
    {EditStep::Crop, "Crop", run_crop_step},
    {EditStep::BlurredBorder, "BlurredBorder", run_blurred_border_step},
    {EditStep::CustomCommandsAfter, "CustomCommandsAfter", run_custom_commands_after},
}};

}  // namespace

const std::array<EditStepSlot, edit_step_count>& edit_step_slots() { return slots; }

void run_edit_steps(EditVideoState& state, const EditPage& page) {
  for (const EditStepSlot& slot : slots) {
    if (worker_shutdown_requested()) return;
    if (slot.run) slot.run(state, page);
    if (slot.ends_block) discard_other_work_file(state);
  }
}
