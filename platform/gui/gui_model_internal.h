#pragma once
// What the sources of the control model share (no other code includes this): the state
// of a window as the model keeps it, the batch of notices that one change collects, and
// the model's private part with the helpers that run under its one lock.
//
// The sources, one part of GuiModel each:
// - gui_model.cpp: the model itself, notices to the view, events, posting to the UI thread
// - gui_model_windows.cpp: windows, their life from create_window to destroy_window
// - gui_model_handlers.cpp: handlers and timers
// - gui_model_controls.cpp: any control's state and the rules every control follows
// - gui_model_lists.cpp: list views and their rows
// - gui_model_menus.cpp: pop-up menus
// - gui_model_animations.cpp: animation boxes
// - gui_model_input.cpp: user input and mouse-driven moves

#include <algorithm>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/gui/gui_model.h"

namespace gui_model_internal {

struct Bound {
  GuiHandler plain;
  GuiAnswerHandler answer;
  explicit operator bool() const { return plain || answer; }
};

struct TimerEntry {
  int interval = 0;
  LoopTimerId loop_id = 0;
  std::uint64_t generation = 0;
};

// What the model keeps beside a list view's rows: an index that finds a row by its id
// without a scan, and a count of the changes of the rows other than appending.
struct RowBook {
  // (id, index) of every row, sorted by id, while `indexed`; rebuilt on the next
  // lookup after a change that moved rows. Appending keeps it: a new row's id is
  // larger than every id before it.
  std::vector<std::pair<RowId, int>> by_id;
  bool indexed = false;
  std::uint64_t version = 0;
};

struct Window {
  WindowState state;  // `controls` stays empty: they live below
  std::vector<ControlState> controls;
  std::unordered_map<std::string, std::size_t> index;
  // Per list view (by role). Mutable: lookups from reads rebuild the index.
  mutable std::unordered_map<std::string, RowBook> row_books;
  std::map<std::pair<std::string, EventKind>, Bound> handlers;
  std::map<std::string, TimerEntry> timers;
  std::map<std::string, int> next_object_id;
  std::string capture;      // control holding the mouse while buttons are held
  int held_buttons = 0;
  int blocked = 0;          // modal windows blocking this one
  std::uint64_t nested_token = 0;
  bool destroying = false;
  bool asking_close = false;
  int z_counter = 0;
  bool show_on_open = true;
  std::vector<WindowToken> owned;

  ControlState* find(const std::string& role) {
    if (role.empty()) return nullptr;
    auto it = index.find(role);
    return it == index.end() ? nullptr : &controls[it->second];
  }
  const ControlState* find(const std::string& role) const {
    return const_cast<Window*>(this)->find(role);
  }

  // The index of the row with this id in `list`, -1 when there is none.
  int find_row(const ControlState& list, RowId id) const;
  // After the last `count` rows of `list` were appended.
  void rows_appended(const ControlState& list, std::size_t count);
  // After rows of `list` were inserted, deleted, moved or cleared.
  void rows_rearranged(const ControlState& list);
  std::uint64_t rows_version(const ControlState& list) const;
};

struct TextEvent {
  ControlRef target;
  std::string text;
};

// What one change did: notices for the view, text_changed events to fire.
struct Batch {
  WindowToken window;
  std::vector<GuiChange> changes;
  std::vector<TextEvent> text_events;
  void add(const std::string& role, ChangeKind kind, RowId row = 0, int column = -1, int object = 0) {
    changes.push_back(GuiChange{window, role, kind, row, column, object});
  }
};

inline bool is_radio(const ControlState& c) { return c.kind == ControlKind::radio_button; }

inline int clamp_to(int value, int minimum, int maximum) { return std::max(minimum, std::min(value, maximum)); }

inline bool has_range(ControlKind k) { return k == ControlKind::slider || k == ControlKind::progress_bar; }

// One cell per column (a list without columns keeps what it is given).
inline void fit_cells(std::vector<std::string>& cells, std::size_t columns) {
  if (columns > 0) cells.resize(columns);
}

inline int count_rows(const ControlState& list) { return static_cast<int>(list.rows.size()); }

inline bool valid_row(const ControlState& list, int row) { return row >= 0 && row < count_rows(list); }

}  // namespace gui_model_internal

struct GuiModel::Impl {
  using Window = gui_model_internal::Window;
  using Batch = gui_model_internal::Batch;
  using TextEvent = gui_model_internal::TextEvent;

  Impl(EventLoop& l, GuiServices s) : loop(l), services(s) {}

  EventLoop& loop;
  GuiServices services;
  mutable std::mutex mutex;
  std::map<std::uint64_t, std::unique_ptr<Window>> windows;
  std::uint64_t next_window = 1;
  RowId next_row = 1;
  std::uint64_t next_nested = 1;
  std::uint64_t next_generation = 1;
  GuiView* view = nullptr;
  std::weak_ptr<Impl> self;

  Window* find(WindowToken w) {
    auto it = windows.find(w.id);
    return it == windows.end() ? nullptr : it->second.get();
  }
  const Window* find(WindowToken w) const { return const_cast<Impl*>(this)->find(w); }

  // ---- notices and events after a change (gui_model.cpp)

  void flush(Batch& batch);
  void fire_text_changed(TextEvent e);
  // Runs the handler bound to the event's target and kind; the answer of an answer
  // handler, nothing otherwise. The window may be in its destroyed handler.
  std::optional<bool> dispatch(const GuiEvent& event);

  // ---- locked helpers

  template <class F>
  void change_control(const ControlRef& ref, F&& f) {
    Batch batch;
    batch.window = ref.window;
    {
      std::lock_guard lock(mutex);
      Window* w = find(ref.window);
      if (!w) return;
      ControlState* c = w->find(ref.role);
      if (!c) return;
      f(*w, *c, batch);
    }
    flush(batch);
  }

  template <class F>
  void change_window(WindowToken token, F&& f) {
    Batch batch;
    batch.window = token;
    {
      std::lock_guard lock(mutex);
      Window* w = find(token);
      if (!w) return;
      f(*w, batch);
    }
    flush(batch);
  }

  // Writes one field of a control, with a notice of `change` only when the value is new.
  template <class T, class V>
  void set_field(const ControlRef& ref, T ControlState::*field, V&& value, ChangeKind change) {
    change_control(ref, [&](Window&, ControlState& c, Batch& b) {
      if (c.*field == value) return;
      c.*field = std::forward<V>(value);
      b.add(c.role, change);
    });
  }

  template <class R, class F>
  R read_control(const ControlRef& ref, R fallback, F&& f) const {
    std::lock_guard lock(mutex);
    const Window* w = find(ref.window);
    if (!w) return fallback;
    const ControlState* c = w->find(ref.role);
    if (!c) return fallback;
    return f(*w, *c);
  }

  // ---- the rules every control follows (gui_model_controls.cpp)

  // The index of a tab page among its tab control's pages, -1 when not a page.
  static int page_index(const Window& w, const ControlState& page);
  static std::vector<const ControlState*> pages_of(const Window& w, const std::string& tab);
  static bool effectively_visible(const Window& w, const ControlState& control);
  static bool effectively_enabled(const Window& w, const ControlState& control);
  static GuiPoint window_position(const Window& w, const ControlState& control);
  // The radios that share a group with `radio` (itself included).
  static std::vector<ControlState*> radio_group(Window& w, const ControlState& radio);
  static void set_checked_locked(Window& w, ControlState& c, bool checked, Batch& batch);
  static void sync_combo_text(ControlState& c);
  static int find_item(const ControlState& c, const std::string& text);
  static void set_text_locked(ControlState& c, const std::string& text, Batch& batch);

  // ---- list views (gui_model_lists.cpp)

  void select_rows_locked(ControlState& list, const std::vector<int>& rows, Batch& batch);
  void set_row_selected_locked(ControlState& list, int row, bool selected, Batch& batch);

  // ---- windows (gui_model_windows.cpp)

  // Adds a control under the lock; false when it cannot be added.
  bool add_control_locked(Window& w, ControlSpec spec, Batch* batch);
  void destroy(WindowToken token);

  // ---- timers (gui_model_handlers.cpp)

  void stop_window_timers_locked(Window& w);

  // ---- input (gui_model_input.cpp)

  // Where input for `ref` goes, after the tab page rule; false when it is dropped.
  bool accept_input(const ControlRef& ref, bool need_enabled = true) const;
  // Whether the window takes input at all: not being destroyed, visible, enabled, and
  // not blocked by a modal window.
  static bool window_takes_input(const Window& w);
  // Whether mouse input that no control has captured is taken by `c` (the window's
  // free area when null): the window takes input and the control is effectively
  // visible and enabled.
  static bool takes_uncaptured_mouse(const Window& w, const ControlState* c);
  // A mouse event on a tab page's free surface becomes its tab control's, with
  // coordinates relative to the tab control; other events stay as they are.
  static void retarget_from_tab_page(const ControlState* c, GuiEvent& e);
  // Whether buttons are held since a press that captured the mouse for a control that
  // still exists (or for the window's free area).
  static bool mouse_captured(const Window& w);
  // Hands a mouse event that arrived on `from` (the window itself when null) to the
  // capturing control, its coordinates made relative to that control.
  static void retarget_to_capture(const Window& w, const ControlState* from, GuiEvent& e);
};

// Calls from other threads are re-made on the UI thread: the call is posted with copies
// of its arguments and runs only if the model still lives by then.
template <class Method, class... Args>
bool GuiModel::forward_to_ui_thread(Method method, const Args&... args) {
  if (loop_.is_ui_thread()) return false;
  std::weak_ptr<Impl> weak = impl_;
  loop_.post([this, weak, method, ... args = args] {
    if (weak.lock()) (this->*method)(args...);
  });
  return true;
}
