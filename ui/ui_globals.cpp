#include "ui/ui_globals.h"

SharedText convert_list_open_folder;
SharedText merge_list1_open_folder;
SharedText merge_list2_open_folder;
SharedText edit_list_open_folder;
SharedText subtitle_font_name;

void release_ui_globals() {
  for (SharedText* text : {&convert_list_open_folder, &merge_list1_open_folder, &merge_list2_open_folder,
                           &edit_list_open_folder, &subtitle_font_name})
    text->set({});
}
