#pragma once
// The edit steps of the edit job in their fixed order, and the frame that runs them on
// one video.
//
// Each step is a function of the video's state and the edit page. It decides itself
// whether it runs (its option box and any further test), writes its "before" status,
// runs its commands on the current work file into the next one, keeps the result by
// `edit_step_verify` (or `edit_step_retry`), and writes its "after" status. After every
// step block, whether the step ran or not, the frame deletes the work file that is not
// current (`discard_other_work_file`); steps 8 and 9 form one block. While a step runs,
// the video's state names its option (`step_option`), so that a step that gives up
// records it as not applied (engine/edit/edit_job_state.h).
//
// A step whose function is not built yet has an empty slot and is passed over; the
// save (engine/edit/edit_job_save.h) follows the last step.

#include <array>

#include "engine/edit/edit_job_state.h"

enum class EditStep {
  CustomCommandsBefore = 1,
  TrimEnds,
  FrameRate,
  Sharpen,
  Desaturate,
  RemoveAudio,
  FlickerVignette,
  PortraitToLandscape,
  LandscapeToPortrait,
  FlipHorizontal,
  FlipVertical,
  RotateClockwise,
  RotateCounterClockwise,
  RandomTransition,
  FadeIn,
  HueCycle,
  Vignette,
  PlaybackSpeed,
  AudioSampleRate,
  ScrollingSubtitle,
  MixAudioFile,
  RemoveLogo,
  PictureWatermark,
  TopBottomPictures,
  Resize,
  BackgroundPicture,
  Crop,
  BlurredBorder,
  CustomCommandsAfter,
  Save,
};

// One step of the chain.
using EditStepFunction = void (*)(EditVideoState& state, const EditPage& page);

struct EditStepSlot {
  EditStep step;
  const char* name;              // the step's name, for messages and tests
  EditStepFunction run;          // nullptr: not built yet, passed over
  // The check box of the step's option, the one the row's status names when the option
  // was not applied; the trim has a second box (the tail's), named when only it is on.
  const char* option_box;
  const char* second_option_box = nullptr;
  bool ends_block = true;        // false for step 8, which shares its block with step 9
  // True when a checked box alone runs the step: the frame then records the option as
  // not applied when the step kept no output. The trim and orientation steps have
  // conditions of their own, and the custom commands several outputs: they record it
  // themselves (`mark_step_not_applied`, `edit_step_retry`).
  bool judged_by_frame = true;
};

inline constexpr int edit_step_count = 29;

// The 29 optional steps in their order (the save is not among them).
const std::array<EditStepSlot, edit_step_count>& edit_step_slots();

// Runs every built step of the chain on the video, in order, deleting the work file
// that is not current after every block. Stops early once shutdown has begun.
void run_edit_steps(EditVideoState& state, const EditPage& page);
