#include "dialogs/mosaic_region_dialog.h"

#include <cstdint>
#include <vector>

#include "dialogs/region_hand_off.h"
#include "engine/window/dialog_openers.h"
#include "engine/window/main_window_token.h"
#include "engine/window/program_pictures.h"
#include "platform/gui/picture.h"

namespace {

// The edit page's field behind each value box.
const RegionFieldLinks mosaic_fields = {
    {region_left_field, "delogo_left_field"},
    {region_top_field, "delogo_top_field"},
    {region_width_field, "delogo_width_field"},
    {region_height_field, "delogo_height_field"},
};

// The box's picture: the program's picture of a white field with "马赛克位置", or a
// plain white field of the box's design size when that picture cannot be read.
GuiPicture mosaic_box_picture() {
  GuiPicture picture = load_program_picture(mosaic_box_picture_path);
  if (picture.width > 0) return picture;
  const int width = 400, height = 200;
  return picture_from_rgba(width, height, std::vector<std::uint8_t>(std::size_t(width) * height * 4, 255));
}

int value_in_preview(WindowToken window, const char* value_box) {
  return source_to_preview(gui().text({window, value_box}), region_zoom_factor(window));
}

// A typed (or written) value moves or sizes the box at once, without the place task
// and without showing it.
void on_mosaic_value_changed(const GuiEvent& event) {
  const WindowToken window = event.target.window;
  const ControlRef box{window, mosaic_box};
  GuiRect rect = gui().geometry(box);
  const int value = value_in_preview(window, event.target.role.c_str());
  if (event.target.role == region_left_field) rect.x = value;
  else if (event.target.role == region_top_field) rect.y = value;
  else if (event.target.role == region_width_field) rect.width = value;
  else rect.height = value;
  gui().set_geometry(box, rect);
}

void on_mosaic_dialog_created(const GuiEvent& event) { load_region_fields(event.target.window, mosaic_fields); }

void on_mosaic_box_left_down(const GuiEvent& event) {
  if (event.button != mouse_buttons::left) return;
  const WindowToken window = event.target.window;
  gui().drag_control(event.target, DragMode::move);
  const GuiRect rect = gui().geometry(event.target);
  const int zoom = region_zoom_factor(window);
  // Each write sets the box back from the value, up to the truncation.
  gui().set_text({window, region_left_field}, preview_to_source_text(rect.x, zoom));
  gui().set_text({window, region_top_field}, preview_to_source_text(rect.y, zoom));
}

void on_mosaic_save_clicked(const GuiEvent& event) {
  save_region_fields(event.target.window, mosaic_box, mosaic_fields, mosaic_message_title,
                     mosaic_outside_frame_message);
}

}  // namespace

const RegionEditor& mosaic_region_editor() {
  static RegionEditorMemory memory;
  static const RegionEditor editor{mosaic_settings_section, mosaic_frame_file, &memory, place_mosaic_rect};
  return editor;
}

WindowSpec mosaic_region_dialog_spec() {
  WindowSpec spec;
  spec.name = mosaic_dialog_name;
  spec.title = mosaic_dialog_title;
  spec.width = 950;
  spec.height = 650;
  spec.controls = region_editor_controls("第一步：选择一个待去水印的视频", "第二步：设置水印的位置及大小",
                                         "水印左距：", true);
  ControlSpec box = control_spec(mosaic_box, ControlKind::picture_box, {483, 15, 400, 200}, {}, region_preview);
  box.picture = mosaic_box_picture();
  box.visible = false;
  spec.controls.push_back(box);
  return spec;
}

WindowToken create_mosaic_region_dialog() {
  const WindowToken window = gui().create_window(mosaic_region_dialog_spec());
  bind_region_preview_handlers(window, mosaic_region_editor());
  gui().bind(window_ref(window), EventKind::created, on_mosaic_dialog_created);
  for (const RegionFieldLink& link : mosaic_fields) {
    gui().bind({window, link.value_box}, EventKind::text_changed, on_mosaic_value_changed);
  }
  gui().bind({window, mosaic_box}, EventKind::mouse_down, on_mosaic_box_left_down);
  gui().bind({window, region_save_button}, EventKind::clicked, on_mosaic_save_clicked);
  return window;
}

void open_mosaic_region_dialog(WindowToken owner) { gui().open_window(create_mosaic_region_dialog(), owner); }

void register_mosaic_region_dialog_opener() {
  set_dialog_opener(ProgramDialog::mosaic_region, [] { open_mosaic_region_dialog(main_window()); });
}

void place_mosaic_rect(WindowToken window, RegionEditorState&) {
  const ControlRef box{window, mosaic_box};
  gui().set_visible(box, true);
  gui().set_size(box, value_in_preview(window, region_width_field), value_in_preview(window, region_height_field));
  gui().set_position(box, value_in_preview(window, region_left_field), value_in_preview(window, region_top_field));
}
