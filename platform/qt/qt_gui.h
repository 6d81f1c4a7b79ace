#pragma once
// Bringing the Qt GUI up: the loop, the services, the model and the view in one
// object, the program's start function, and window grabs for screenshots.
//
//   int main(int argc, char** argv) {
//     return run_qt_program(argc, argv, [](GuiModel& model) {
//       WindowToken w = model.create_window(main_window_spec());
//       ...bind handlers...
//       model.open_window(w);
//     });
//   }

#include <functional>
#include <string>

#include "platform/gui/gui_model.h"
#include "platform/qt/qt_event_loop.h"
#include "platform/qt/qt_services.h"
#include "platform/qt/qt_view.h"

// The family used for the program's texts when it is installed.
inline constexpr const char* cjk_font_family = "WenQuanYi Micro Hei";

// Sets the application font to the CJK family (9 points, as the windows were
// designed) when it is installed, and the Fusion style, so windows look the same on
// every desktop. Needs the QApplication.
void set_up_application_look();

// Loop, services, model and view of the running QApplication, the model installed
// as the program's model (gui()) and its loop as the UI thread's event pump, while
// the object lives. Make it on the GUI thread after the QApplication.
class QtGui {
 public:
  QtGui();
  ~QtGui();
  QtGui(const QtGui&) = delete;
  QtGui& operator=(const QtGui&) = delete;

  QtEventLoop loop;
  QtServices services;
  GuiModel model;
  QtView view;
};

// Creates the QApplication and a QtGui, sets up the look, calls start(model) (which
// creates and opens the first windows), then runs the main loop until quit (a
// window made with quit_on_destroy is destroyed, or someone calls quit). Returns the
// exit code.
int run_qt_program(int argc, char** argv, const std::function<void(GuiModel&)>& start);

// Renders the window (as it would show, also when hidden) into a PNG file, through
// the view of the installed QtGui. False when there is no such window or the file
// could not be written.
bool save_window_png(WindowToken window, const std::string& path);
