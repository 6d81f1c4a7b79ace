#include "engine/edit/edit_job_steps.h"

#include "engine/edit/edit_custom_commands.h"
#include "engine/edit/edit_step_random_transition.h"
#include "engine/edit/edit_steps_orientation.h"
#include "engine/edit/edit_steps_picture_filters.h"
#include "engine/edit/edit_steps_trim_rate_mute.h"
#include "engine/worker_threads.h"

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
    {EditStep::FadeIn, "FadeIn", nullptr},
    {EditStep::HueCycle, "HueCycle", nullptr},
    {EditStep::Vignette, "Vignette", nullptr},
    {EditStep::PlaybackSpeed, "PlaybackSpeed", nullptr},
    {EditStep::AudioSampleRate, "AudioSampleRate", nullptr},
    {EditStep::ScrollingSubtitle, "ScrollingSubtitle", nullptr},
    {EditStep::MixAudioFile, "MixAudioFile", nullptr},
    {EditStep::RemoveLogo, "RemoveLogo", nullptr},
    {EditStep::PictureWatermark, "PictureWatermark", nullptr},
    {EditStep::TopBottomPictures, "TopBottomPictures", nullptr},
    {EditStep::Resize, "Resize", nullptr},
    {EditStep::BackgroundPicture, "BackgroundPicture", nullptr},
    {EditStep::Crop, "Crop", nullptr},
    {EditStep::BlurredBorder, "BlurredBorder", nullptr},
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
