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
    {.step = EditStep::CustomCommandsBefore, .name = "CustomCommandsBefore", .run = run_custom_commands_before,
     .option_box = "custom_command_check", .judged_by_frame = false},
    {.step = EditStep::TrimEnds, .name = "TrimEnds", .run = run_trim_ends_step,
     .option_box = "head_trim_check", .second_option_box = "tail_trim_check", .judged_by_frame = false},
    {.step = EditStep::FrameRate, .name = "FrameRate", .run = run_frame_rate_step,
     .option_box = "frame_rate_check"},
    {.step = EditStep::Sharpen, .name = "Sharpen", .run = run_sharpen_step,
     .option_box = "sharpen_check"},
    {.step = EditStep::Desaturate, .name = "Desaturate", .run = run_desaturate_step,
     .option_box = "decolour_check"},
    {.step = EditStep::RemoveAudio, .name = "RemoveAudio", .run = run_remove_audio_step,
     .option_box = "mute_check"},
    {.step = EditStep::FlickerVignette, .name = "FlickerVignette", .run = run_flicker_vignette_step,
     .option_box = "flash_halo_check"},
    {.step = EditStep::PortraitToLandscape, .name = "PortraitToLandscape", .run = run_portrait_to_landscape_step,
     .option_box = "portrait_to_landscape_check", .ends_block = false, .judged_by_frame = false},
    {.step = EditStep::LandscapeToPortrait, .name = "LandscapeToPortrait", .run = run_landscape_to_portrait_step,
     .option_box = "landscape_to_portrait_check", .judged_by_frame = false},
    {.step = EditStep::FlipHorizontal, .name = "FlipHorizontal", .run = run_flip_horizontal_step,
     .option_box = "hflip_check"},
    {.step = EditStep::FlipVertical, .name = "FlipVertical", .run = run_flip_vertical_step,
     .option_box = "vflip_check"},
    {.step = EditStep::RotateClockwise, .name = "RotateClockwise", .run = run_rotate_clockwise_step,
     .option_box = "rotate_cw_check"},
    {.step = EditStep::RotateCounterClockwise, .name = "RotateCounterClockwise",
     .run = run_rotate_counter_clockwise_step, .option_box = "rotate_ccw_check"},
    {.step = EditStep::RandomTransition, .name = "RandomTransition", .run = run_random_transition_step,
     .option_box = "random_transition_check"},
    {.step = EditStep::FadeIn, .name = "FadeIn", .run = run_fade_in_step,
     .option_box = "fade_in_check"},
    {.step = EditStep::HueCycle, .name = "HueCycle", .run = run_hue_cycle_step,
     .option_box = "colour_cycle_check"},
    {.step = EditStep::Vignette, .name = "Vignette", .run = run_vignette_step,
     .option_box = "halo_check"},
    {.step = EditStep::PlaybackSpeed, .name = "PlaybackSpeed", .run = run_playback_speed_step,
     .option_box = "speed_check"},
    {.step = EditStep::AudioSampleRate, .name = "AudioSampleRate", .run = run_audio_sample_rate_step,
     .option_box = "audio_rate_check"},
    {.step = EditStep::ScrollingSubtitle, .name = "ScrollingSubtitle", .run = run_scrolling_subtitle_step,
     .option_box = "subtitle_check"},
    {.step = EditStep::MixAudioFile, .name = "MixAudioFile", .run = run_mix_audio_file_step,
     .option_box = "merge_audio_check"},
    {.step = EditStep::RemoveLogo, .name = "RemoveLogo", .run = run_remove_logo_step,
     .option_box = "delogo_check"},
    {.step = EditStep::PictureWatermark, .name = "PictureWatermark", .run = run_picture_watermark_step,
     .option_box = "picture_watermark_check"},
    {.step = EditStep::TopBottomPictures, .name = "TopBottomPictures", .run = run_top_bottom_pictures_step,
     .option_box = "top_bottom_pictures_check"},
    {.step = EditStep::Resize, .name = "Resize", .run = run_resize_step,
     .option_box = "resize_check"},
    {.step = EditStep::BackgroundPicture, .name = "BackgroundPicture", .run = run_background_picture_step,
     .option_box = "background_picture_check"},
    {.step = EditStep::Crop, .name = "Crop", .run = run_crop_step,
     .option_box = "crop_check"},
    {.step = EditStep::BlurredBorder, .name = "BlurredBorder", .run = run_blurred_border_step,
     .option_box = "blur_border_check"},
    {.step = EditStep::CustomCommandsAfter, .name = "CustomCommandsAfter", .run = run_custom_commands_after,
     .option_box = "custom_command_check", .judged_by_frame = false},
}};

// The box the status names for the slot's option: the tail's when only it is checked.
const char* step_option_box(const EditStepSlot& slot, const EditPage& page) {
  if (slot.second_option_box && !page.checked(slot.option_box) && page.checked(slot.second_option_box)) {
    return slot.second_option_box;
  }
  return slot.option_box;
}

void run_edit_step(EditVideoState& state, const EditPage& page, const EditStepSlot& slot) {
  state.step_option = step_option_box(slot, page);
  const int kept_before = state.kept_outputs;
  slot.run(state, page);
  if (slot.judged_by_frame && page.checked(slot.option_box) && state.kept_outputs == kept_before) {
    mark_step_not_applied(state);
  }
  state.step_option.clear();
}

}  // namespace

const std::array<EditStepSlot, edit_step_count>& edit_step_slots() { return slots; }

void run_edit_steps(EditVideoState& state, const EditPage& page) {
  for (const EditStepSlot& slot : slots) {
    if (worker_shutdown_requested()) return;
    if (slot.run) run_edit_step(state, page, slot);
    if (slot.ends_block) discard_other_work_file(state);
  }
}
