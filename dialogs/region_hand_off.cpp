#include "dialogs/region_hand_off.h"

#include "engine/window/main_window_token.h"

void load_region_fields(WindowToken window, std::span<const RegionFieldLink> links) {
  const WindowToken main = main_window();
  for (const RegionFieldLink& link : links) gui().set_text({window, link.value_box}, gui().text({main, link.main_field}));
  if (gui().row_count({main, "edit_list"}) > 0) {
    gui().set_text({window, region_video_field}, gui().cell({main, "edit_list"}, 0, 1));
    start_region_timer(window, region_probe_timer);
  }
}

void hand_back_region_fields(WindowToken window, std::span<const RegionFieldLink> links) {
  const WindowToken main = main_window();
  for (const RegionFieldLink& link : links) gui().set_text({main, link.main_field}, gui().text({window, link.value_box}));
  gui().destroy_window(window);
}

bool region_within_frame(const RegionBox& box, const RegionEditorState& state) {
  const double tolerance = 0.0000001;
  return box.x + box.width <= state.frame_width + tolerance && box.y + box.height <= state.frame_height + tolerance &&
         box.x >= 0 && box.y >= 0;
}

RegionBox region_of_values(WindowToken window) {
  const int zoom = region_zoom_factor(window);
  const auto value = [&](const char* role) { return source_to_preview_exact(gui().text({window, role}), zoom); };
  return {value(region_left_field), value(region_top_field), value(region_width_field), value(region_height_field)};
}

void save_region_fields(WindowToken window, const char* box_role, std::span<const RegionFieldLink> links,
                        const char* title, const char* message) {
  const std::shared_ptr<RegionEditorState> state = region_editor_state(window);
  if (!state) return;
  const GuiRect marker = gui().geometry({window, box_role});
  const RegionBox marker_box{double(marker.x), double(marker.y), double(marker.width), double(marker.height)};
  if (!region_within_frame(marker_box, *state) || !region_within_frame(region_of_values(window), *state)) {
    show_message_box(title, message, MessageButtons::ok, window);
    return;
  }
  hand_back_region_fields(window, links);
}
