#pragma once
// Ends that nobody chose in the program: a signal from the system and the loss of the
// display connection.
//
// - SIGTERM, SIGHUP and SIGINT (a logout, `kill`, Ctrl+C in the terminal that started
//   the program) are caught and become one call of `end_requested` on the GUI thread,
//   from its event loop (also from a modal loop, a dialog's or a message box's): the
//   program ends the way its own quit does. Further signals of the three are ignored
//   meanwhile; any other signal keeps its usual effect.
// - When the display connection breaks (the X server ends, a remote desktop drops),
//   the toolkit would end the process on the spot. Instead `display_lost` runs once on
//   the GUI thread, before anything is torn down; the toolkit must not be used any
//   more (no event loop, no window). Right after it the process ends at once with the
//   status it returns.
//
// Install once, on the GUI thread, after the QApplication exists and before the event
// loop runs.

#include <functional>

struct ProgramEndHandlers {
  std::function<void()> end_requested;
  std::function<int()> display_lost;
};

void install_program_end_handlers(ProgramEndHandlers handlers);
