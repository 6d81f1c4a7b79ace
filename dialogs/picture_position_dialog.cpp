#include "dialogs/picture_position_dialog.h"

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdint>
#include <mutex>
#include <string>

#include "dialogs/region_hand_off.h"
#include "engine/common/file_helpers.h"
#include "engine/common/globals.h"
#include "engine/edit/edit_settings_saver.h"
#include "engine/edit/watermark_picture_size.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/file_dialogs.h"
#include "engine/window/main_window_token.h"
#include "platform/files.h"
#include "platform/gui/picture.h"

namespace {

constexpr const char* watermark_picture_field = "watermark_picture_field";
// Every tick of the drag timer (while the window is open) follows the cursor.
constexpr int drag_timer_interval_ms = 10;

// The edit page's field behind each value box.
const RegionFieldLink picture_fields[] = {
    {region_left_field, "watermark_left_field"},
    {region_top_field, "watermark_top_field"},
};

std::string file_bytes(const std::string& path) { return read_file_bytes(path).value_or(std::string()); }

void set_dragging(WindowToken window, int dragging) {
  if (const auto state = region_editor_state(window)) state->marker_dragging = dragging;
}

// The overlay to the boxes' position at the zoom (each value x zoom / 100, truncated).
void move_overlay_to_boxes(WindowToken window) {
  const int zoom = region_zoom_factor(window);
  gui().animation_move({window, region_preview}, overlay_object(window),
                       source_to_preview(gui().text({window, region_left_field}), zoom),
                       source_to_preview(gui().text({window, region_top_field}), zoom));
}

void on_picture_pos_dialog_created(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  const std::string picture = gui().text({main_window(), watermark_picture_field});
  gui().set_picture({window, overlay_template}, picture_from_bytes(file_bytes(picture)));
  load_region_fields(window, picture_fields);
  gui().set_timer(window, picture_pos_drag_timer, drag_timer_interval_ms);
}

void on_picture_pos_preview_mouse_move(const GuiEvent& event) { preview_mouse_pos.set({event.x, event.y}); }

// Every left press on the preview, on the overlay or not, records where the cursor is
// from the overlay's top-left corner.
void on_picture_pos_preview_left_down(const GuiEvent& event) {
  if (event.button != mouse_buttons::left) return;
  const GuiPoint corner =
      gui().animation_position({event.target.window, region_preview}, overlay_object(event.target.window))
          .value_or(GuiPoint{});
  // In 64 bits: an overlay placed from a huge typed value may lie far outside the box.
  const auto offset = [](int at, int edge) {
    return static_cast<int>(std::clamp<std::int64_t>(std::int64_t{at} - edge, INT_MIN, INT_MAX));
  };
  overlay_grab_offset.set({offset(event.x, corner.x), offset(event.y, corner.y)});
}

// The press has ended, however the release was reported.
void on_picture_pos_preview_left_up(const GuiEvent& event) {
  if (event.button == mouse_buttons::left) set_dragging(event.target.window, 0);
}

void on_picture_pos_object_pressed(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  set_dragging(window, event.value == overlay_object(window) ? 1 : 0);
}

void on_picture_pos_object_released(const GuiEvent& event) { set_dragging(event.target.window, 0); }

void on_picture_pos_drag_timer(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  // Only the window whose overlay is pressed follows the cursor.
  if (overlay_dragging(window) != 1) return;
  const int zoom = region_zoom_factor(window);
  // Without a zoom factor there is no preview scale to divide by: the values stay.
  if (zoom <= 0) return;
  const IntPair mouse = preview_mouse_pos.get();
  const IntPair offset = overlay_grab_offset.get();
  const double scale = zoom / 100.0;
  // The overlay's corner in preview pixels (in 64 bits, see the grab offset), then in
  // source pixels, truncated.
  const auto source = [scale](int cursor, int grab) {
    return static_cast<std::int64_t>(std::trunc(static_cast<double>(std::int64_t{cursor} - grab) / scale));
  };
  // Each write moves the overlay through the box's change handler.
  gui().set_text({window, region_left_field}, std::to_string(source(mouse.x, offset.x)));
  gui().set_text({window, region_top_field}, std::to_string(source(mouse.y, offset.y)));
}

void on_picture_pos_choose_picture_clicked(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  const WindowToken main = main_window();
  picture_file_dialog.initial_folder = parent_folder(gui().text({main, watermark_picture_field}));
  const std::string chosen = show_open_file_dialog(picture_file_dialog, window);
  if (chosen.empty()) return;
  const std::string bytes = file_bytes(chosen);
  if (!measure_watermark_picture(bytes)) {
    // The field and the overlay's picture stay; the size is 0 until a readable one.
    show_message_box(picture_pos_message_title, picture_pos_invalid_picture_message, MessageButtons::ok, window);
    return;
  }
  gui().set_text({main, watermark_picture_field}, chosen);
  save_edit_settings_now();
  gui().set_picture({window, overlay_template}, picture_from_bytes(bytes));
  start_region_timer(window, region_place_timer);
}

void on_picture_pos_save_clicked(const GuiEvent& event) { hand_back_region_fields(event.target.window, picture_fields); }

}  // namespace

int overlay_object(WindowToken window) {
  const auto state = region_editor_state(window);
  return state ? state->marker_object.load() : 0;
}

int overlay_dragging(WindowToken window) {
  const auto state = region_editor_state(window);
  return state ? state->marker_dragging.load() : 0;
}

const RegionEditor& picture_pos_region_editor() {
  static RegionEditorMemory memory;
  static const RegionEditor editor{picture_pos_settings_section, picture_pos_frame_file, &memory,
                                   place_picture_overlay};
  return editor;
}

WindowSpec picture_position_dialog_spec() {
  WindowSpec spec;
  spec.name = picture_pos_dialog_name;
  spec.title = picture_pos_dialog_title;
  spec.width = 950;
  spec.height = 650;
  spec.controls = region_editor_controls("第一步：选择一个待添加水印的视频", "第二步：设置水印的位置", "水印左距：",
                                         false, true);
  // Two small position boxes showing "10" at design, then the picture button.
  for (ControlSpec& control : spec.controls) {
    if (control.role == region_left_field) control.geometry = {84, 94, 30, 24};
    if (control.role == "region_top_label") control.geometry = {122, 98, 42, 22};
    if (control.role == region_top_field) control.geometry = {164, 94, 30, 24};
    if (control.role == region_left_field || control.role == region_top_field) control.text = "10";
  }
  spec.controls.push_back(
      control_spec(picture_pos_choose_picture_button, ControlKind::button, {206, 92, 120, 28}, "换一张水印图片"));
  spec.controls.push_back(
      control_spec(overlay_template, ControlKind::animation_template, {0, 0, 192, 112}, {}, region_preview));
  return spec;
}

WindowToken create_picture_position_dialog() {
  const WindowToken window = gui().create_window(picture_position_dialog_spec());
  bind_region_preview_handlers(window, picture_pos_region_editor());
  gui().bind(window_ref(window), EventKind::created, on_picture_pos_dialog_created);
  const ControlRef preview{window, region_preview};
  gui().bind(preview, EventKind::mouse_move, on_picture_pos_preview_mouse_move);
  gui().bind(preview, EventKind::mouse_down, on_picture_pos_preview_left_down);
  gui().bind(preview, EventKind::mouse_up, on_picture_pos_preview_left_up);
  gui().bind(preview, EventKind::object_pressed, on_picture_pos_object_pressed);
  gui().bind(preview, EventKind::object_released, on_picture_pos_object_released);
  gui().bind({window, picture_pos_drag_timer}, EventKind::timer_tick, on_picture_pos_drag_timer);
  for (const RegionFieldLink& link : picture_fields) {
    gui().bind({window, link.value_box}, EventKind::text_changed,
               [](const GuiEvent& event) { move_overlay_to_boxes(event.target.window); });
  }
  gui().bind({window, picture_pos_choose_picture_button}, EventKind::clicked, on_picture_pos_choose_picture_clicked);
  gui().bind({window, region_save_button}, EventKind::clicked, on_picture_pos_save_clicked);
  return window;
}

void open_picture_position_dialog(WindowToken owner) { gui().open_window(create_picture_position_dialog(), owner); }

void register_picture_position_dialog_opener() {
  set_dialog_opener(ProgramDialog::picture_position, [] { open_picture_position_dialog(main_window()); });
}

void place_picture_overlay(WindowToken window, RegionEditorState& state) {
  // Place tasks run on threads of their own (one after every grab and every picture
  // change): one at a time, so the template's size and the object added from it
  // belong together.
  static std::mutex place_mutex;
  std::lock_guard lock(place_mutex);
  if (state.stopping()) return;
  const ControlRef preview{window, region_preview};
  const ControlRef overlay{window, overlay_template};
  if (state.marker_object != 0) gui().animation_clear(preview);
  const int zoom = region_zoom_factor(window);
  const auto at_zoom = [zoom](std::int64_t pixels) { return static_cast<int>(pixels * zoom / 100); };
  gui().set_size(overlay, at_zoom(watermark_picture_width), at_zoom(watermark_picture_height));
  gui().set_value(overlay, at_zoom(1000));
  state.marker_object = gui().animation_add(preview, overlay_template,
                                       source_to_preview(gui().text({window, region_left_field}), zoom),
                                       source_to_preview(gui().text({window, region_top_field}), zoom));
}
