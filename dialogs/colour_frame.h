#pragma once
// A one-pixel frame in a given colour along the outer edge of a control, drawn by the
// view over the control's own painting (its text and whatever shows through a
// transparent label), so it stays visible on top. The frame goes with the control
// when its window is destroyed.

#include "platform/gui/gui.h"

// Frames the control in `colour`. A control that is framed already keeps its colour.
void attach_colour_frame(const ControlRef& control, GuiColour colour);
