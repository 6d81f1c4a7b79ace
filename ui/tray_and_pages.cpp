#include "ui/tray_and_pages.h"

#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

void toggle_main_window_visibility() {
  const WindowToken window = main_window();
  gui().set_window_visible(window, !gui().window_visible(window));
}

void show_page(int page) { gui().set_selected_index(main_control("job_tabs"), page); }

}  // namespace

void bind_tray_and_page_handlers(WindowToken window) {
  GuiModel& model = gui();
  model.bind(window_ref(window), EventKind::tray, [](const GuiEvent& e) { on_main_window_tray_event(e.value); });

  const int show_hide = main_window_menu_item_index("tray_show_hide_menu_item");
  const int website = main_window_menu_item_index("tray_website_menu_item");
  const int exit = main_window_menu_item_index("tray_exit_menu_item");
  model.bind({window, "tray_menu"}, EventKind::menu_chosen, [=](const GuiEvent& e) {
    if (e.value == show_hide) on_tray_show_hide_menu_clicked();
    else if (e.value == website) on_website_menu_clicked();
    else if (e.value == exit) on_exit_menu_clicked();
  });

  model.bind({window, "convert_page_button"}, EventKind::clicked, [](const GuiEvent&) { on_show_convert_page_clicked(); });
  model.bind({window, "merge_page_button"}, EventKind::clicked, [](const GuiEvent&) { on_show_merge_page_clicked(); });
  model.bind({window, "edit_page_button"}, EventKind::clicked, [](const GuiEvent&) { on_show_edit_page_clicked(); });
}

void on_main_window_tray_event(int kind) {
  if (kind == 3)
    gui().popup_menu(main_control("tray_menu"));
  else
    toggle_main_window_visibility();
}

void on_tray_show_hide_menu_clicked() { toggle_main_window_visibility(); }

void on_website_menu_clicked() { gui_services().shell->shell_open(product_home_page_address); }

void on_show_convert_page_clicked() { show_page(0); }
void on_show_merge_page_clicked() { show_page(1); }
void on_show_edit_page_clicked() { show_page(2); }
