#include "engine/program_pictures.h"

#include "engine/globals.h"
#include "platform/files.h"
#include "platform/gui/picture.h"

GuiPicture load_program_picture(const std::string& relative_path) {
  const auto bytes = read_file_bytes(run_folder.get() + "/" + relative_path);
  return bytes ? picture_from_bytes(*bytes) : GuiPicture{};
}
