#pragma once
// Where a window opens on the screen, the first time it shows: a window without owner
// on the screen's middle, a modal window on its owner's middle, and an owned window
// that is not modal (an editor the user works in while the owner stays usable) beside
// its owner, so that it leaves the owner's controls in sight. Frames are in screen
// pixels, decorations of a window manager included.

#include <optional>

#include "platform/gui/control_state.h"

// The top-left corner of a window frame of `width` x `height` beside the owner's frame
// `owner` on the usable screen area `screen`: to the owner's right when the screen has
// room there, else to its left, its top at the owner's top; then moved as little as
// needed to lie fully on the screen (where neither side has room it then covers the
// owner's left part; a window larger than the screen keeps its top-left corner on it).
GuiPoint window_beside_owner(const GuiRect& owner, int width, int height, const GuiRect& screen);

// The top-left corner of the frame (`width` x `height`) of `window` when it first
// shows, by the rules above; `owner_frame` is the frame of the window's owner (nothing
// when it has none).
GuiPoint window_opening_position(const WindowState& window, const std::optional<GuiRect>& owner_frame, int width,
                                 int height, const GuiRect& screen);
