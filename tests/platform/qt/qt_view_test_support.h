#pragma once
// What the Qt view's tests share: a log of the sample window's events, its roles, a
// solid picture, and the fixture that opens the sample window with a checked list.

#include <QRect>

#include <cstdint>
#include <string>
#include <vector>

#include "platform/gui/picture.h"
#include "tests/platform/gui/gui_test_window.h"
#include "tests/platform/qt/qt_test_support.h"

// Every event of the window's controls, in order, as "role:kind".
class EventLog {
 public:
  void watch(GuiModel& model, WindowToken window, const std::vector<std::string>& roles,
             const std::vector<EventKind>& kinds) {
    for (const std::string& role : roles) {
      for (EventKind kind : kinds) {
        model.bind({window, role}, kind, [this](const GuiEvent& e) { events.push_back(e); });
      }
    }
  }
  std::vector<std::string> names() const {
    std::vector<std::string> out;
    for (const GuiEvent& e : events) out.push_back(e.target.role + ":" + event_kind_name(e.kind));
    return out;
  }
  int count(const std::string& role, EventKind kind) const {
    int n = 0;
    for (const GuiEvent& e : events) n += e.target.role == role && e.kind == kind;
    return n;
  }
  const GuiEvent* last(const std::string& role, EventKind kind) const {
    for (auto it = events.rbegin(); it != events.rend(); ++it) {
      if (it->target.role == role && it->kind == kind) return &*it;
    }
    return nullptr;
  }
  std::vector<GuiEvent> events;
};

inline const std::vector<std::string> all_roles = {
    "ok_button",   "name_field",  "count_field",  "option_check", "mode_combo",  "strength_slider",
    "file_progress_bar", "file_progress_label", "options_group", "before_radio", "after_radio", "inner_field",
    "job_tabs",    "first_page",  "second_page",  "job_list",    "second_button", "text_colour",
    "drag_panel",  "preview",     "frame_picture"};

inline GuiPicture solid_picture(int width, int height, std::uint8_t red, std::uint8_t green, std::uint8_t blue) {
  std::vector<std::uint8_t> rgba;
  for (int i = 0; i < width * height; ++i) rgba.insert(rgba.end(), {red, green, blue, 255});
  return picture_from_rgba(width, height, std::move(rgba));
}

inline QRect rect_of(const GuiRect& r) { return QRect(r.x, r.y, r.width, r.height); }

class QtViewTest : public QtGuiTest {
 protected:
  WindowToken open_sample() {
    WindowSpec spec = sample_window_spec();
    for (ControlSpec& c : spec.controls) {
      if (c.role == "job_list") c.check_boxes = true;
    }
    return open(spec);
  }
};

