#include "engine/window/program_pictures.h"

#include "engine/common/globals.h"
#include "platform/files.h"
#include "platform/gui/picture.h"

GuiPicture load_program_picture(const std::string& relative_path) {
  return load_program_picture(run_folder.get(), relative_path);
}

GuiPicture load_program_picture(const std::string& folder, const std::string& relative_path) {
  const auto bytes = read_file_bytes(folder + "/" + relative_path);
  return bytes ? picture_from_bytes(*bytes) : GuiPicture{};
}
