#pragma once
// The program-wide control model.
//
// The program installs its model once at start (app: the Qt loop, the Qt services,
// the Qt view); tests install a HeadlessGui. Until something is installed, gui()
// gives a fallback model with a headless loop that nobody runs and headless services
// that answer with their defaults: writes and reads work, handlers and timers never
// run. The fallback exists so that code writing controls from a unit test without a
// GUI does not crash.

#include "platform/gui/gui_model.h"
#include "platform/gui/headless_event_loop.h"
#include "platform/gui/headless_services.h"

// The installed model (or the fallback).
GuiModel& gui();

// The installed model's services.
const GuiServices& gui_services();

// UI thread. Installs `model` as the program's model and registers its loop's
// process_pending as the event pump of the calling thread (platform/event_pump.h),
// which becomes the UI thread. nullptr uninstalls and removes the pump. The model
// must stay alive while installed.
void install_gui(GuiModel* model);

// A complete headless GUI for tests: loop, services and model, installed while the
// object lives (the constructing thread is the UI thread).
//
//   HeadlessGui g;
//   WindowToken w = gui().create_window(spec);
//   g.services.answer_message(MessageAnswer::yes);
//   gui().input_click({w, "ok_button"});
//   g.loop.run_until_idle();
class HeadlessGui {
 public:
  HeadlessGui();
  ~HeadlessGui();
  HeadlessGui(const HeadlessGui&) = delete;
  HeadlessGui& operator=(const HeadlessGui&) = delete;

  HeadlessEventLoop loop;
  HeadlessServices services;
  GuiModel model;
};

// Convenience over gui_services(), usable from any code that shows things.
MessageAnswer show_message_box(const std::string& title, const std::string& text,
                               MessageButtons buttons = MessageButtons::ok, WindowToken owner = {});
// Shows a balloon hint at the mouse cursor.
void show_balloon_at_cursor(const std::string& text, const std::string& title = {}, WindowToken owner = {});
