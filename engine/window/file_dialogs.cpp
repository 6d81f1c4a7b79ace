#include "engine/window/file_dialogs.h"

#include "platform/gui/gui.h"

namespace {

std::vector<std::string> run_open_file_dialog(WindowToken owner, const std::string& title, const std::string& filter,
                                              const std::string& initial_folder, bool multi_select) {
  OpenFileRequest request;
  request.owner = owner;
  request.title = title;
  request.filter = filter;
  request.initial_folder = initial_folder;
  request.multi_select = multi_select;
  return gui_services().file_dialogs->choose_open_files(request);
}

}  // namespace

std::vector<std::string> choose_open_files(WindowToken owner, const std::string& title, const std::string& filter,
                                           const std::string& initial_folder) {
  return run_open_file_dialog(owner, title, filter, initial_folder, true);
}

std::string choose_folder(const std::string& initial_folder, const std::string& title) {
  FolderRequest request;
  request.title = title;
  request.initial_folder = initial_folder;
  return gui_services().file_dialogs->choose_folder(request);
}

std::string choose_open_file(WindowToken owner, const std::string& title, const std::string& filter,
                             const std::string& initial_folder) {
  const std::vector<std::string> paths = run_open_file_dialog(owner, title, filter, initial_folder, false);
  return paths.empty() ? std::string() : paths.front();
}

OpenFileDialog audio_file_dialog{audio_file_filter, {}, {}};
OpenFileDialog picture_file_dialog{picture_file_filter, {}, {}};

std::string show_open_file_dialog(OpenFileDialog& dialog, WindowToken owner) {
  std::string path = choose_open_file(owner, "", dialog.filter, dialog.initial_folder);
  if (!path.empty()) dialog.chosen_path = path;
  return path;
}
