#include "platform/gui/gui.h"

#include <atomic>

#include "platform/event_pump.h"

namespace {

std::atomic<GuiModel*> installed{nullptr};

// The fallback: a model nobody runs, so that writes and reads work without a GUI.
GuiModel& fallback() {
  static HeadlessEventLoop loop;
  static HeadlessServices services;
  static GuiModel model(loop, services.services());
  return model;
}

}  // namespace

GuiModel& gui() {
  GuiModel* model = installed.load(std::memory_order_acquire);
  return model ? *model : fallback();
}

const GuiServices& gui_services() { return gui().services(); }

void install_gui(GuiModel* model) {
  installed.store(model, std::memory_order_release);
  if (model) {
    EventLoop* loop = &model->loop();
    set_ui_event_pump([loop] { loop->process_pending(); });
  } else {
    set_ui_event_pump({});
  }
}

HeadlessGui::HeadlessGui() : model(loop, services.services()) { install_gui(&model); }

HeadlessGui::~HeadlessGui() {
  if (&gui() == &model) install_gui(nullptr);
}

MessageAnswer show_message_box(const std::string& title, const std::string& text, MessageButtons buttons,
                               WindowToken owner) {
  MessageRequest request;
  request.owner = owner;
  request.title = title;
  request.text = text;
  request.buttons = buttons;
  return gui_services().message_boxes->show_message(request);
}

void show_balloon_at_cursor(const std::string& text, const std::string& title, WindowToken owner) {
  const GuiServices& services = gui_services();
  BalloonRequest request;
  request.owner = owner;
  request.title = title;
  request.text = text;
  request.at = services.cursor->cursor_position();
  services.balloons->show_balloon(request);
}
