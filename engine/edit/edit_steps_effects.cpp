#include "engine/edit/edit_steps_effects.h"

#include "engine/edit/edit_step_common.h"

namespace {

constexpr FilterStep fade_in = {"fade_in_check", "添加渐入效果", "已添加渐入", " -vf fade=in:0:90"};
constexpr FilterStep hue_cycle = {"colour_cycle_check", "添加色彩变幻", "色彩变幻已加",
                                  " -vf hue=\"H=2*PI*t:s=sin(2*PI*t)+1\""};
constexpr FilterStep vignette = {"halo_check", "添加光晕效果", "已添加光晕", " -vf vignette=PI/4"};

}  // namespace

void run_fade_in_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, fade_in); }
void run_hue_cycle_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, hue_cycle); }
void run_vignette_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, vignette); }
