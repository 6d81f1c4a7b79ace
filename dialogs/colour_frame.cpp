#include "dialogs/colour_frame.h"

void attach_colour_frame(const ControlRef& control, GuiColour colour) {
  if (gui().frame_colour(control)) return;
  gui().set_frame_colour(control, colour);
}
