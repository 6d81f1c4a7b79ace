// The one place where the features of the main window bind their handlers.

#include "ui/main_window.h"

void bind_main_window_handlers(WindowToken window) {
  // One call per feature, each binding its own controls' handlers.
  (void)window;
}
