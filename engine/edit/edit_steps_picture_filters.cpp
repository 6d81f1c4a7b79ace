#include "engine/edit/edit_steps_picture_filters.h"

#include <utility>

#include "engine/edit/edit_step_common.h"

namespace {

constexpr FilterStep sharpen = {"sharpen_check", "正在锐化视频", "视频已锐化",
                                " -vf unsharp=luma_msize_x=7:luma_msize_y=7:luma_amount=2.5"};
constexpr FilterStep desaturate = {"decolour_check", "正在去色", "视频已去色", " -vf lutyuv=\"u=128:v=128\""};
constexpr FilterStep flicker_vignette = {"flash_halo_check", "添加闪烁光晕", "闪烁光晕已加",
                                         " -vf vignette='PI/4+random(1)*PI/50':eval=frame"};
constexpr FilterStep flip_horizontal = {"hflip_check", "正在水平翻转", "已水平翻转", " -vf hflip"};
constexpr FilterStep flip_vertical = {"vflip_check", "正在垂直翻转", "已垂直翻转", " -vf vflip"};
constexpr FilterStep rotate_clockwise = {"rotate_cw_check", "顺时转90度", "已顺时转90度", " -vf transpose=1"};
constexpr FilterStep rotate_counter_clockwise = {"rotate_ccw_check", "逆时转90度", "已逆时转90度",
                                                 " -vf transpose=2"};

void run_quarter_turn(EditVideoState& state, const EditPage& page, const FilterStep& step) {
  if (run_filter_step(state, page, step)) std::swap(state.width, state.height);
}

}  // namespace

void run_sharpen_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, sharpen); }
void run_desaturate_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, desaturate); }
void run_flicker_vignette_step(EditVideoState& state, const EditPage& page) {
  run_filter_step(state, page, flicker_vignette);
}
void run_flip_horizontal_step(EditVideoState& state, const EditPage& page) {
  run_filter_step(state, page, flip_horizontal);
}
void run_flip_vertical_step(EditVideoState& state, const EditPage& page) { run_filter_step(state, page, flip_vertical); }
void run_rotate_clockwise_step(EditVideoState& state, const EditPage& page) {
  run_quarter_turn(state, page, rotate_clockwise);
}
void run_rotate_counter_clockwise_step(EditVideoState& state, const EditPage& page) {
  run_quarter_turn(state, page, rotate_counter_clockwise);
}
