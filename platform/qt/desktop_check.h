#pragma once
// Whether the program can show its windows, checked before the toolkit starts (which
// would otherwise end the process with its own abort).
//
// The platform is the one the toolkit will take: the value of a "-platform" argument,
// else of QT_QPA_PLATFORM (a list separated by ";" is tried in order, options after a
// ":" are ignored), else the X display. The X display ("xcb") can be used when a
// connection to DISPLAY succeeds; a Wayland one when the socket WAYLAND_DISPLAY names
// (under XDG_RUNTIME_DIR unless it is a path) exists. Any other platform
// ("offscreen", "vnc", …) is left to the toolkit. Without a platform set, the X
// display or else a Wayland display will do.

#include <string>

// "" when a display can be used; otherwise one line that says what is missing and
// what is needed instead (a desktop, or QT_QPA_PLATFORM=offscreen).
std::string missing_desktop_reason(int argc, char** argv);
