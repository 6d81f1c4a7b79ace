#include "dialogs/crop_region_dialog.h"

#include <algorithm>
#include <chrono>
#include <mutex>
#include <random>

#include "dialogs/colour_frame.h"
#include "dialogs/region_hand_off.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/main_window_token.h"

namespace {

struct CropHandle {
  const char* role;
  DragMode mode;
};

const CropHandle crop_handles[] = {
    {crop_handle_top_left, DragMode::top_left},       {crop_handle_top, DragMode::top},
    {crop_handle_top_right, DragMode::top_right},     {crop_handle_left, DragMode::left},
    {crop_handle_right, DragMode::right},             {crop_handle_bottom_left, DragMode::bottom_left},
    {crop_handle_bottom, DragMode::bottom},           {crop_handle_bottom_right, DragMode::bottom_right},
};

// The crop box last pressed (empty until the first press; it outlives the window, and a
// box of a closed window exists no more).
ControlRef crop_box_unit;
// 1 while the handles are laid out for the box's present geometry.
int crop_handles_current = 0;

// The edit page's field behind each value box.
const RegionFieldLinks crop_fields = {
    {region_left_field, "crop_left_field"},
    {region_top_field, "crop_top_field"},
    {region_width_field, "crop_width_field"},
    {region_height_field, "crop_height_field"},
};

bool crop_box_pressed() { return !crop_box_unit.role.empty() && gui().exists(crop_box_unit); }

void on_crop_dialog_created(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  load_region_fields(window, crop_fields);
  std::mt19937 random(static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count()));
  std::uniform_int_distribution<int> channel(0, 255);
  const int red = channel(random);
  const int green = channel(random);
  const int blue = channel(random);
  attach_colour_frame({window, crop_box}, make_colour(red, green, blue));
}

void on_crop_box_left_down(const GuiEvent& event) {
  if (event.button != mouse_buttons::left) return;
  crop_box_unit = event.target;
  gui().bring_to_front(crop_box_unit);
  gui().drag_control(crop_box_unit, DragMode::move);
  crop_handles_current = 0;
  update_crop_handles();
}

void on_crop_handle_left_down(const GuiEvent& event) {
  if (event.button != mouse_buttons::left || !crop_box_pressed()) return;
  for (const CropHandle& handle : crop_handles) {
    if (event.target.role == handle.role) gui().drag_control(crop_box_unit, handle.mode);
  }
  crop_handles_current = 0;
  update_crop_handles();
}

void on_crop_dialog_left_down(const GuiEvent& event) {
  if (event.button != mouse_buttons::left) return;
  for (const CropHandle& handle : crop_handles) gui().set_visible({event.target.window, handle.role}, false);
}

bool on_crop_dialog_key_down(const GuiEvent& event) {
  if (!crop_box_pressed() || !gui().visible({crop_box_unit.window, crop_handle_top_left})) return false;
  GuiRect box = gui().geometry(crop_box_unit);
  const bool shift = (event.modifiers & key_modifiers::shift) != 0;
  switch (event.key) {
    case key_codes::left: (shift ? box.width : box.x) -= 1; break;
    case key_codes::right: (shift ? box.width : box.x) += 1; break;
    case key_codes::up: (shift ? box.height : box.y) -= 1; break;
    case key_codes::down: (shift ? box.height : box.y) += 1; break;
    default: return false;
  }
  // A size never goes below 0.
  box.width = std::max(box.width, 0);
  box.height = std::max(box.height, 0);
  gui().set_geometry(crop_box_unit, box);
  crop_handles_current = 0;
  update_crop_handles();
  return false;
}

void on_crop_save_clicked(const GuiEvent& event) {
  save_region_fields(event.target.window, crop_box, crop_fields, crop_message_title, crop_outside_frame_message);
}

}  // namespace

const RegionEditor& crop_region_editor() {
  static RegionEditorMemory memory;
  static const RegionEditor editor{crop_settings_section, crop_frame_file, &memory, place_crop_rect};
  return editor;
}

std::string crop_box_caption(const std::string& frame_width, const std::string& frame_height,
                             const std::string& width, const std::string& height, const std::string& left,
                             const std::string& top) {
  return "原视频宽度：" + frame_width + "，原视频高度：" + frame_height + "\r\n\r\n裁切区域宽度：" + width +
         "，裁切区域高度：" + height + "\r\n\r\n裁切区域左距：" + left + "，裁切区域顶距：" + top +
         "\r\n\r\n（裁切的区域保留，区域外的删除）";
}

WindowSpec crop_region_dialog_spec() {
  WindowSpec spec;
  spec.name = crop_dialog_name;
  spec.title = crop_dialog_title;
  spec.width = 950;
  spec.height = 650;
  spec.controls = region_editor_controls("第一步：选择一个待裁切的视频", "第二步：设置裁切区域位置及大小",
                                         "裁切左距：", true);
  ControlSpec box = control_spec(crop_box, ControlKind::label, {149, 87, 512, 288}, crop_box_design_caption,
                                 region_preview);
  box.transparent = true;
  box.visible = false;
  spec.controls.push_back(box);
  for (const CropHandle& handle : crop_handles) {
    ControlSpec spec_handle = control_spec(handle.role, ControlKind::label, {0, 0, 4, 4}, {}, region_preview);
    spec_handle.visible = false;
    spec_handle.background_colour = make_colour(0, 0, 0);
    spec.controls.push_back(spec_handle);
  }
  return spec;
}

WindowToken create_crop_region_dialog() {
  const WindowToken window = gui().create_window(crop_region_dialog_spec());
  bind_region_preview_handlers(window, crop_region_editor());
  gui().bind(window_ref(window), EventKind::created, on_crop_dialog_created);
  for (const char* box : {region_left_field, region_top_field, region_width_field, region_height_field}) {
    gui().bind({window, box}, EventKind::text_changed,
               [](const GuiEvent& event) { start_region_timer(event.target.window, region_place_timer); });
  }
  gui().bind({window, crop_box}, EventKind::mouse_down, on_crop_box_left_down);
  gui().bind({window, crop_box}, EventKind::mouse_move, [](const GuiEvent&) { update_crop_handles(); });
  for (const CropHandle& handle : crop_handles) {
    gui().bind({window, handle.role}, EventKind::mouse_down, on_crop_handle_left_down);
  }
  gui().bind(window_ref(window), EventKind::mouse_down, on_crop_dialog_left_down);
  gui().bind_answer(window_ref(window), EventKind::key_down, on_crop_dialog_key_down);
  gui().bind({window, region_save_button}, EventKind::clicked, on_crop_save_clicked);
  return window;
}

void open_crop_region_dialog(WindowToken owner) { gui().run_modal(create_crop_region_dialog(), owner); }

void register_crop_region_dialog_opener() {
  set_dialog_opener(ProgramDialog::crop_region, [] { open_crop_region_dialog(main_window()); });
}

void place_crop_rect(WindowToken window, RegionEditorState& state) {
  // Place tasks run on threads of their own: one started by a value change before the
  // probe may still be running when the one after the grab starts. Each reads the
  // values and the frame size and writes the box in one piece, so the box always ends
  // as the newest values and frame size say.
  static std::mutex place_mutex;
  std::lock_guard lock(place_mutex);
  if (gui().text({window, region_video_field}).empty()) return;
  const ControlRef box{window, crop_box};
  const int zoom = region_zoom_factor(window);
  const std::string left = gui().text({window, region_left_field});
  const std::string top = gui().text({window, region_top_field});
  const std::string width = gui().text({window, region_width_field});
  const std::string height = gui().text({window, region_height_field});
  gui().set_visible(box, true);
  gui().set_size(box, source_to_preview(width, zoom), source_to_preview(height, zoom));
  gui().set_position(box, source_to_preview(left, zoom), source_to_preview(top, zoom));
  gui().set_text(box, crop_box_caption(preview_to_source_text(state.frame_width, zoom),
                                       preview_to_source_text(state.frame_height, zoom), width, height, left, top));
}

void update_crop_handles() {
  if (!crop_box_pressed() || crop_handles_current == 1) return;
  const WindowToken window = crop_box_unit.window;
  const GuiRect box = gui().geometry(crop_box_unit);
  const int l = box.x, t = box.y, w = box.width, h = box.height;
  auto handle_size = [&](const char* role) { return gui().geometry({window, role}); };
  auto place = [&](const char* role, int x, int y) {
    gui().set_position({window, role}, x, y);
    gui().set_visible({window, role}, true);
    gui().bring_to_front({window, role});
  };
  const GuiRect top_left = handle_size(crop_handle_top_left);
  place(crop_handle_top_left, l - top_left.width, t - top_left.height);
  if (h >= 10) {
    const GuiRect left = handle_size(crop_handle_left);
    const int y = t + h / 2 - left.height / 2;
    place(crop_handle_left, l - left.width, y);
    place(crop_handle_right, l + w, y);
  } else {
    gui().set_visible({window, crop_handle_left}, false);
    gui().set_visible({window, crop_handle_right}, false);
  }
  place(crop_handle_bottom_left, l - top_left.width, t + h);
  if (w >= 10) {
    const GuiRect top = handle_size(crop_handle_top);
    const int x = l + w / 2 - top.width / 2;
    place(crop_handle_top, x, t - top.height);
    place(crop_handle_bottom, x, t + h);
  } else {
    gui().set_visible({window, crop_handle_top}, false);
    gui().set_visible({window, crop_handle_bottom}, false);
  }
  const GuiRect top_right = handle_size(crop_handle_top_right);
  place(crop_handle_top_right, l + w, t - top_right.height);
  place(crop_handle_bottom_right, l + w, t + h);
  crop_handles_current = 1;

  const int zoom = region_zoom_factor(window);
  gui().set_text({window, region_left_field}, preview_to_source_text(l, zoom));
  gui().set_text({window, region_top_field}, preview_to_source_text(t, zoom));
  gui().set_text({window, region_width_field}, preview_to_source_text(w, zoom));
  gui().set_text({window, region_height_field}, preview_to_source_text(h, zoom));
}
