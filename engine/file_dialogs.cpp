#include "engine/file_dialogs.h"

#include "platform/gui/gui.h"

std::vector<std::string> choose_open_files(WindowToken owner, const std::string& title, const std::string& filter,
                                           const std::string& initial_folder) {
  OpenFileRequest request;
  request.owner = owner;
  request.title = title;
  request.filter = filter;
  request.initial_folder = initial_folder;
  request.multi_select = true;
  return gui_services().file_dialogs->choose_open_files(request);
}

std::string choose_folder(const std::string& initial_folder, const std::string& title) {
  FolderRequest request;
  request.title = title;
  request.initial_folder = initial_folder;
  return gui_services().file_dialogs->choose_folder(request);
}
