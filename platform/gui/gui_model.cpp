// The control model: state behind one lock, events dispatched without it.
//
// Every public function follows one pattern: take the lock, find the window and the
// control, read or change the state and collect what changed (a Batch), release the
// lock, then tell the view and fire the events that the change causes (only
// text_changed of edit boxes). Handlers are copied out under the lock and called
// after it has been released.

#include "platform/gui/gui_model.h"

#include <algorithm>
#include <map>
#include <set>
#include <unordered_map>
#include <utility>

namespace {

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
  int find_row(const ControlState& list, RowId id) const {
    if (id == 0) return -1;
    RowBook& book = row_books[list.role];
    if (!book.indexed) {
      book.by_id.clear();
      book.by_id.reserve(list.rows.size());
      bool ascending = true;
      for (std::size_t i = 0; i < list.rows.size(); ++i) {
        if (!book.by_id.empty() && book.by_id.back().first > list.rows[i].id) ascending = false;
        book.by_id.emplace_back(list.rows[i].id, static_cast<int>(i));
      }
      if (!ascending) std::sort(book.by_id.begin(), book.by_id.end());
      book.indexed = true;
    }
    const auto it = std::lower_bound(book.by_id.begin(), book.by_id.end(), std::pair<RowId, int>(id, -1));
    return it != book.by_id.end() && it->first == id ? it->second : -1;
  }

  // After the last row of `list` was appended.
  void row_appended(const ControlState& list) {
    RowBook& book = row_books[list.role];
    const ListRow& row = list.rows.back();
    if (book.indexed && (book.by_id.empty() || book.by_id.back().first < row.id)) {
      book.by_id.emplace_back(row.id, static_cast<int>(list.rows.size()) - 1);
    } else {
      book.indexed = false;
    }
  }

  // After rows of `list` were inserted, deleted, moved or cleared.
  void rows_rearranged(const ControlState& list) {
    RowBook& book = row_books[list.role];
    book.indexed = false;
    book.by_id.clear();
    if (list.rows.empty()) book.by_id.shrink_to_fit();
    ++book.version;
  }

  std::uint64_t rows_version(const ControlState& list) const {
    const auto it = row_books.find(list.role);
    return it == row_books.end() ? 0 : it->second.version;
  }
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

bool is_radio(const ControlState& c) { return c.kind == ControlKind::radio_button; }

int clamp_to(int value, int minimum, int maximum) { return std::max(minimum, std::min(value, maximum)); }

bool has_range(ControlKind k) { return k == ControlKind::slider || k == ControlKind::progress_bar; }

// One cell per column (a list without columns keeps what it is given).
void fit_cells(std::vector<std::string>& cells, std::size_t columns) {
  if (columns > 0) cells.resize(columns);
}

int count_rows(const ControlState& list) { return static_cast<int>(list.rows.size()); }

bool valid_row(const ControlState& list, int row) { return row >= 0 && row < count_rows(list); }

}  // namespace

struct GuiModel::Impl {
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

  // ---- notices and events after a change

  void flush(Batch& batch) {
    GuiView* v;
    {
      std::lock_guard lock(mutex);
      v = view;
    }
    if (v) {
      for (const GuiChange& change : batch.changes) v->changed(change);
    }
    for (TextEvent& e : batch.text_events) fire_text_changed(std::move(e));
  }

  void fire_text_changed(TextEvent e) {
    GuiEvent event;
    event.kind = EventKind::text_changed;
    event.target = std::move(e.target);
    event.text = std::move(e.text);
    if (loop.is_ui_thread()) {
      dispatch(event);
      return;
    }
    std::weak_ptr<Impl> weak = self;
    loop.post([weak, event] {
      if (auto impl = weak.lock()) impl->dispatch(event);
    });
  }

  // Runs the handler bound to the event's target and kind; the answer of an answer
  // handler, nothing otherwise. The window may be in its destroyed handler.
  std::optional<bool> dispatch(const GuiEvent& event) {
    Bound bound;
    {
      std::lock_guard lock(mutex);
      Window* w = find(event.target.window);
      if (!w) return std::nullopt;
      auto it = w->handlers.find({event.target.role, event.kind});
      if (it == w->handlers.end()) return std::nullopt;
      bound = it->second;
    }
    if (bound.answer) return bound.answer(event);
    if (bound.plain) bound.plain(event);
    return std::nullopt;
  }

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

  template <class R, class F>
  R read_control(const ControlRef& ref, R fallback, F&& f) const {
    std::lock_guard lock(mutex);
    const Window* w = find(ref.window);
    if (!w) return fallback;
    const ControlState* c = w->find(ref.role);
    if (!c) return fallback;
    return f(*w, *c);
  }

  // The index of a tab page among its tab control's pages, -1 when not a page.
  static int page_index(const Window& w, const ControlState& page) {
    if (page.kind != ControlKind::tab_page) return -1;
    int i = 0;
    for (const ControlState& c : w.controls) {
      if (c.kind == ControlKind::tab_page && c.container == page.container) {
        if (&c == &page) return i;
        ++i;
      }
    }
    return -1;
  }

  static std::vector<const ControlState*> pages_of(const Window& w, const std::string& tab) {
    std::vector<const ControlState*> pages;
    for (const ControlState& c : w.controls) {
      if (c.kind == ControlKind::tab_page && c.container == tab) pages.push_back(&c);
    }
    return pages;
  }

  static bool effectively_visible(const Window& w, const ControlState& control) {
    if (!w.state.visible) return false;
    const ControlState* c = &control;
    while (c) {
      if (!c->visible) return false;
      if (c->kind == ControlKind::tab_page) {
        const ControlState* tab = w.find(c->container);
        if (tab && tab->selected != page_index(w, *c)) return false;
      }
      c = w.find(c->container);
    }
    return true;
  }

  static bool effectively_enabled(const Window& w, const ControlState& control) {
    if (!w.state.enabled || w.blocked > 0) return false;
    for (const ControlState* c = &control; c; c = w.find(c->container)) {
      if (!c->enabled) return false;
    }
    return true;
  }

  static GuiPoint window_position(const Window& w, const ControlState& control) {
    GuiPoint p;
    for (const ControlState* c = &control; c; c = w.find(c->container)) {
      p.x += c->geometry.x;
      p.y += c->geometry.y;
    }
    return p;
  }

  // Hands a mouse event that arrived on `from` (the window itself when null) to the
  // capturing control, its coordinates made relative to that control.
  static void retarget_to_capture(const Window& w, const ControlState* from, GuiEvent& e) {
    const ControlState* to = w.find(w.capture);
    const GuiPoint a = from ? window_position(w, *from) : GuiPoint{};
    const GuiPoint b = to ? window_position(w, *to) : GuiPoint{};
    e.x += a.x - b.x;
    e.y += a.y - b.y;
    e.target.role = w.capture;
  }

  // The radios that share a group with `radio` (itself included).
  static std::vector<ControlState*> radio_group(Window& w, const ControlState& radio) {
    std::vector<ControlState*> group;
    for (ControlState& c : w.controls) {
      if (!is_radio(c)) continue;
      const bool same = radio.group.empty() ? (c.group.empty() && c.container == radio.container)
                                            : c.group == radio.group;
      if (same) group.push_back(&c);
    }
    return group;
  }

  static void set_checked_locked(Window& w, ControlState& c, bool checked, Batch& batch) {
    if (is_radio(c) && checked) {
      for (ControlState* other : radio_group(w, c)) {
        if (other != &c && other->checked) {
          other->checked = false;
          batch.add(other->role, ChangeKind::checked);
        }
      }
    }
    if (c.checked != checked) {
      c.checked = checked;
      batch.add(c.role, ChangeKind::checked);
    }
  }

  static void sync_combo_text(ControlState& c) {
    if (c.selected < 0 || c.selected >= static_cast<int>(c.items.size())) {
      c.selected = -1;
      if (!c.editable) c.text.clear();
      return;
    }
    c.text = c.items[static_cast<std::size_t>(c.selected)];
  }

  static int find_item(const ControlState& c, const std::string& text) {
    for (std::size_t i = 0; i < c.items.size(); ++i) {
      if (c.items[i] == text) return static_cast<int>(i);
    }
    return -1;
  }

  static void set_text_locked(ControlState& c, const std::string& text, Batch& batch) {
    if (c.kind == ControlKind::combo_box) {
      const std::string old_text = c.text;
      const int old_selected = c.selected;
      c.selected = find_item(c, text);
      if (c.editable) c.text = text;
      else sync_combo_text(c);
      if (c.text != old_text) batch.add(c.role, ChangeKind::text);
      if (c.selected != old_selected) batch.add(c.role, ChangeKind::selected);
      return;
    }
    if (c.text != text) {
      c.text = text;
      batch.add(c.role, ChangeKind::text);
    }
    if (c.kind == ControlKind::edit_box) {
      const int size = static_cast<int>(c.text.size());
      if (c.selection_start > size || c.selection_start + c.selection_length > size) {
        c.selection_start = std::min(c.selection_start, size);
        c.selection_length = 0;
        batch.add(c.role, ChangeKind::text_selection);
      }
    }
  }

  void select_rows_locked(ControlState& list, const std::vector<int>& rows, Batch& batch) {
    std::vector<char> wanted(list.rows.size(), 0);
    int lowest = -1;
    for (int r : rows) {
      if (!valid_row(list, r)) continue;
      wanted[static_cast<std::size_t>(r)] = 1;
      if (lowest < 0 || r < lowest) lowest = r;
    }
    if (!list.multi_select && lowest >= 0) {
      std::fill(wanted.begin(), wanted.end(), 0);
      wanted[static_cast<std::size_t>(lowest)] = 1;
    }
    bool any = false;
    for (std::size_t i = 0; i < list.rows.size(); ++i) {
      const bool s = wanted[i] != 0;
      if (list.rows[i].selected != s) {
        list.rows[i].selected = s;
        any = true;
      }
    }
    if (any) batch.add(list.role, ChangeKind::selection);
  }

  void set_row_selected_locked(ControlState& list, int row, bool selected, Batch& batch) {
    if (!valid_row(list, row)) return;
    if (selected && !list.multi_select) {
      for (std::size_t i = 0; i < list.rows.size(); ++i) {
        if (static_cast<int>(i) != row && list.rows[i].selected) {
          list.rows[i].selected = false;
          batch.add(list.role, ChangeKind::row_state, list.rows[i].id);
        }
      }
    }
    ListRow& r = list.rows[static_cast<std::size_t>(row)];
    if (r.selected != selected) {
      r.selected = selected;
      batch.add(list.role, ChangeKind::row_state, r.id);
    }
  }

  // Adds a control under the lock; false when it cannot be added.
  bool add_control_locked(Window& w, ControlSpec spec, Batch* batch) {
    if (spec.role.empty() || w.index.count(spec.role)) return false;
    if (!spec.container.empty() && !w.find(spec.container)) return false;
    if (has_range(spec.kind)) {
      if (spec.maximum < spec.minimum) spec.maximum = spec.minimum;
      spec.value = clamp_to(spec.value, spec.minimum, spec.maximum);
    }
    if (spec.kind == ControlKind::combo_box) {
      if (spec.selected >= 0) sync_combo_text(spec);
      else if (!spec.text.empty()) {
        spec.selected = find_item(spec, spec.text);
        if (!spec.editable) sync_combo_text(spec);
      }
    }
    if (spec.kind == ControlKind::list_view) {
      for (ListRow& row : spec.rows) {
        row.id = next_row++;
        fit_cells(row.cells, spec.columns.size());
      }
      if (!spec.multi_select) {
        bool seen = false;
        for (ListRow& row : spec.rows) {
          if (row.selected && seen) row.selected = false;
          seen = seen || row.selected;
        }
      }
    }
    if (spec.kind == ControlKind::animation_box) {
      int next = 1;
      for (AnimationObject& o : spec.objects) next = std::max(next, o.id + 1);
      w.next_object_id[spec.role] = next;
    }
    spec.z_order = ++w.z_counter;
    const std::string role = spec.role;
    const std::string container = spec.container;
    const bool radio_checked = is_radio(spec) && spec.checked;
    w.controls.push_back(std::move(spec));
    w.index[role] = w.controls.size() - 1;
    if (radio_checked) {
      Batch ignored;
      set_checked_locked(w, w.controls.back(), true, batch ? *batch : ignored);
    }
    // A tab control shows its first page when it gets one and shows none.
    if (ControlState* tab = w.find(container); tab && tab->kind == ControlKind::tab_control &&
                                               w.controls.back().kind == ControlKind::tab_page && tab->selected < 0) {
      tab->selected = 0;
      if (batch) batch->add(tab->role, ChangeKind::selected);
    }
    if (batch) batch->add(role, ChangeKind::control_added);
    return true;
  }

  // ---- windows

  void stop_window_timers_locked(Window& w) {
    for (auto& [name, timer] : w.timers) loop.stop_timer(timer.loop_id);
    w.timers.clear();
  }

  void destroy(WindowToken token) {
    std::vector<WindowToken> owned;
    {
      std::lock_guard lock(mutex);
      Window* w = find(token);
      if (!w || w->destroying) return;
      w->destroying = true;
      owned = w->owned;
    }
    for (WindowToken child : owned) destroy(child);

    GuiEvent event;
    event.kind = EventKind::destroyed;
    event.target = window_ref(token);
    dispatch(event);

    std::uint64_t nested = 0;
    bool quit = false;
    GuiView* v = nullptr;
    std::unique_ptr<Window> gone;  // freed after the lock: its handlers may hold anything
    {
      std::lock_guard lock(mutex);
      auto it = windows.find(token.id);
      if (it == windows.end()) return;
      gone = std::move(it->second);
      windows.erase(it);
      stop_window_timers_locked(*gone);
      nested = gone->nested_token;
      quit = gone->state.quit_on_destroy;
      v = view;
      for (auto& [id, other] : windows) std::erase(other->owned, token);
    }
    services.tray->remove_tray_icon(token);
    if (nested) loop.exit_nested(nested);
    if (v) v->window_destroyed(token);
    if (quit) loop.quit(0);
  }

  // ---- input

  // Where input for `ref` goes, after the tab page rule; false when it is dropped.
  bool accept_input(const ControlRef& ref, bool need_enabled = true) const {
    std::lock_guard lock(mutex);
    const Window* w = find(ref.window);
    if (!w || w->destroying || !w->state.visible || w->blocked > 0 || !w->state.enabled) return false;
    if (ref.role.empty()) return true;
    const ControlState* c = w->find(ref.role);
    if (!c || !effectively_visible(*w, *c)) return false;
    return !need_enabled || effectively_enabled(*w, *c);
  }
};

// ====================================================================== model

GuiModel::GuiModel(EventLoop& loop, GuiServices services)
    : loop_(loop), services_(services), impl_(std::make_shared<Impl>(loop, services)) {
  impl_->self = impl_;
}

GuiModel::~GuiModel() {
  std::lock_guard lock(impl_->mutex);
  for (auto& [id, w] : impl_->windows) impl_->stop_window_timers_locked(*w);
}

void GuiModel::attach_view(GuiView* view) {
  std::vector<WindowToken> existing;
  {
    std::lock_guard lock(impl_->mutex);
    impl_->view = view;
    for (auto& [id, w] : impl_->windows) existing.push_back(w->state.token);
  }
  if (view) {
    for (WindowToken t : existing) view->window_created(t);
  }
}

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

void GuiModel::post(std::function<void()> task) { loop_.post(std::move(task)); }

void GuiModel::post_to_window(WindowToken window, std::function<void()> task) {
  std::weak_ptr<Impl> weak = impl_;
  loop_.post([weak, window, task = std::move(task)] {
    auto impl = weak.lock();
    if (!impl) return;
    {
      std::lock_guard lock(impl->mutex);
      if (!impl->find(window)) return;
    }
    task();
  });
}

// ---------------------------------------------------------------- windows

WindowToken GuiModel::create_window(const WindowSpec& spec) {
  WindowToken token;
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    token.id = impl_->next_window++;
    auto w = std::make_unique<Window>();
    w->state.token = token;
    w->state.name = spec.name;
    w->state.title = spec.title;
    w->state.width = spec.width;
    w->state.height = spec.height;
    w->state.resizable = spec.resizable;
    w->state.visible = false;
    w->state.quit_on_destroy = spec.quit_on_destroy;
    w->state.icons = spec.icons;
    w->show_on_open = spec.show_on_open;
    for (const ControlSpec& c : spec.controls) impl_->add_control_locked(*w, c, nullptr);
    impl_->windows[token.id] = std::move(w);
    view = impl_->view;
  }
  if (view) view->window_created(token);
  return token;
}

bool GuiModel::add_control(WindowToken window, const ControlSpec& spec) {
  bool added = false;
  impl_->change_window(window, [&](Window& w, Batch& b) { added = impl_->add_control_locked(w, spec, &b); });
  return added;
}

void GuiModel::open_window(WindowToken window, WindowToken owner) {
  if (forward_to_ui_thread(&GuiModel::open_window, window, owner)) return;
  bool show = false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->state.opened) return;
    w->state.opened = true;
    if (owner && owner != window) {
      if (Window* o = impl_->find(owner)) {
        w->state.owner = owner;
        o->owned.push_back(window);
      }
    }
    show = w->show_on_open;
  }
  if (show) set_window_visible(window, true);
  GuiEvent event;
  event.kind = EventKind::created;
  event.target = window_ref(window);
  impl_->dispatch(event);
}

bool GuiModel::run_modal(WindowToken window, WindowToken owner) {
  if (!loop_.is_ui_thread()) return false;
  std::uint64_t token;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return false;
    w->state.modal = true;
    token = impl_->next_nested++;
    w->nested_token = token;
  }
  open_window(window, owner);

  // Block the owner, or every other window; each block is counted, so nested modal
  // windows unblock in turn.
  std::vector<WindowToken> blocked;   // every window this call blocks
  std::vector<WindowToken> newly;     // those that were not blocked before
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    if (!impl_->find(window)) return true;  // closed by its created handler
    for (auto& [id, other] : impl_->windows) {
      const WindowToken t = other->state.token;
      if (t == window || (owner && t != owner)) continue;
      blocked.push_back(t);
      if (++other->blocked == 1) {
        other->state.blocked = true;
        newly.push_back(t);
      }
    }
    view = impl_->view;
  }
  if (view) {
    for (WindowToken t : newly) view->changed(GuiChange{t, {}, ChangeKind::window_enabled});
  }

  const bool ended = loop_.run_nested(token);

  std::vector<WindowToken> unblocked;
  bool gone;
  {
    std::lock_guard lock(impl_->mutex);
    for (WindowToken t : blocked) {
      Window* o = impl_->find(t);
      if (o && o->blocked > 0 && --o->blocked == 0) {
        o->state.blocked = false;
        unblocked.push_back(t);
      }
    }
    Window* w = impl_->find(window);
    gone = w == nullptr;
    if (w) {
      w->nested_token = 0;
      w->state.modal = false;
    }
    view = impl_->view;
  }
  if (view) {
    for (WindowToken t : unblocked) view->changed(GuiChange{t, {}, ChangeKind::window_enabled});
  }
  (void)ended;
  return gone;
}

bool GuiModel::request_close(WindowToken window) {
  if (forward_to_ui_thread(&GuiModel::request_close, window)) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->destroying) return w == nullptr;
    if (w->asking_close) return false;  // a question is open already
    w->asking_close = true;
  }
  GuiEvent event;
  event.kind = EventKind::may_close;
  event.target = window_ref(window);
  const std::optional<bool> answer = impl_->dispatch(event);
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return true;
    w->asking_close = false;
  }
  if (answer.has_value() && !*answer) return false;
  impl_->destroy(window);
  return !window_exists(window);
}

void GuiModel::destroy_window(WindowToken window) {
  if (!loop_.is_ui_thread()) {
    std::weak_ptr<Impl> weak = impl_;
    loop_.post([weak, window] {
      if (auto impl = weak.lock()) impl->destroy(window);
    });
    return;
  }
  impl_->destroy(window);
}

bool GuiModel::window_exists(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  return impl_->find(window) != nullptr;
}

WindowToken GuiModel::find_window(const std::string& name) const {
  std::lock_guard lock(impl_->mutex);
  WindowToken found;
  for (auto& [id, w] : impl_->windows) {
    if (w->state.name == name && !w->destroying) found = w->state.token;  // ids ascend: the newest wins
  }
  return found;
}

std::vector<WindowToken> GuiModel::windows() const {
  std::lock_guard lock(impl_->mutex);
  std::vector<WindowToken> all;
  for (auto& [id, w] : impl_->windows) all.push_back(w->state.token);
  return all;
}

WindowState GuiModel::window_state(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w ? w->state : WindowState{};
}

WindowState GuiModel::window_snapshot(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return {};
  WindowState s = w->state;
  s.controls = w->controls;
  return s;
}

void GuiModel::set_title(WindowToken window, const std::string& title) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.title == title) return;
    w.state.title = title;
    b.add({}, ChangeKind::window_title);
  });
}

std::string GuiModel::title(WindowToken window) const { return window_state(window).title; }

void GuiModel::set_window_size(WindowToken window, int width, int height) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (w.state.width == width && w.state.height == height) return;
    w.state.width = width;
    w.state.height = height;
    b.add({}, ChangeKind::window_size);
  });
}

GuiPoint GuiModel::window_size(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w ? GuiPoint{w->state.width, w->state.height} : GuiPoint{};
}

void GuiModel::set_window_visible(WindowToken window, bool visible) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.visible == visible) return;
    w.state.visible = visible;
    b.add({}, ChangeKind::window_visible);
  });
}

bool GuiModel::window_visible(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  return w && w->state.visible;
}

void GuiModel::set_window_enabled(WindowToken window, bool enabled) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    if (w.state.enabled == enabled) return;
    w.state.enabled = enabled;
    b.add({}, ChangeKind::window_enabled);
  });
}

void GuiModel::set_window_icons(WindowToken window, std::vector<GuiPicture> icons) {
  impl_->change_window(window, [&](Window& w, Batch& b) {
    w.state.icons = std::move(icons);
    b.add({}, ChangeKind::window_icon);
  });
}

// ---------------------------------------------------------------- handlers

void GuiModel::bind(const ControlRef& target, EventKind kind, GuiHandler handler) {
  Bound old;  // released after the lock
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(target.window);
  if (!w) return;
  auto key = std::make_pair(target.role, kind);
  if (auto it = w->handlers.find(key); it != w->handlers.end()) old = std::move(it->second);
  if (handler) w->handlers[key] = Bound{std::move(handler), {}};
  else w->handlers.erase(key);
}

void GuiModel::bind_answer(const ControlRef& target, EventKind kind, GuiAnswerHandler handler) {
  Bound old;
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(target.window);
  if (!w) return;
  auto key = std::make_pair(target.role, kind);
  if (auto it = w->handlers.find(key); it != w->handlers.end()) old = std::move(it->second);
  if (handler) w->handlers[key] = Bound{{}, std::move(handler)};
  else w->handlers.erase(key);
}

bool GuiModel::has_handler(const ControlRef& target, EventKind kind) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(target.window);
  return w && w->handlers.count({target.role, kind}) > 0;
}

// ---------------------------------------------------------------- timers

void GuiModel::set_timer(WindowToken window, const std::string& name, int interval_ms) {
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(window);
  if (!w || w->destroying) return;
  auto it = w->timers.find(name);
  if (it != w->timers.end()) {
    loop_.stop_timer(it->second.loop_id);
    w->timers.erase(it);
  }
  if (interval_ms <= 0) return;
  TimerEntry entry;
  entry.interval = interval_ms;
  entry.generation = impl_->next_generation++;
  std::weak_ptr<Impl> weak = impl_;
  const std::uint64_t generation = entry.generation;
  entry.loop_id = loop_.start_timer(std::chrono::milliseconds(interval_ms), [weak, window, name, generation] {
    auto impl = weak.lock();
    if (!impl) return;
    GuiEvent event;
    event.kind = EventKind::timer_tick;
    event.target = ControlRef{window, name};
    {
      std::lock_guard lock(impl->mutex);
      Window* w = impl->find(window);
      if (!w || w->destroying) return;
      auto t = w->timers.find(name);
      if (t == w->timers.end() || t->second.generation != generation) return;
      event.value = t->second.interval;
    }
    impl->dispatch(event);
  });
  w->timers[name] = entry;
}

int GuiModel::timer_interval(WindowToken window, const std::string& name) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return 0;
  auto it = w->timers.find(name);
  return it == w->timers.end() ? 0 : it->second.interval;
}

// ---------------------------------------------------------------- any control

bool GuiModel::exists(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState&) { return true; });
}

std::optional<ControlKind> GuiModel::kind(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<ControlKind>{},
                             [](const Window&, const ControlState& c) { return std::optional<ControlKind>(c.kind); });
}

ControlState GuiModel::control_state_without_rows(const ControlRef& control) const {
  std::lock_guard lock(impl_->mutex);
  Window* w = impl_->find(control.window);
  ControlState* c = w ? w->find(control.role) : nullptr;
  if (!c) return ControlState{};
  // Every field but the rows: they step aside for the copy (the lock is held).
  std::vector<ListRow> rows;
  rows.swap(c->rows);
  ControlState copy = *c;
  rows.swap(c->rows);
  return copy;
}

ControlState GuiModel::control_state(const ControlRef& control) const {
  return impl_->read_control(control, ControlState{}, [](const Window&, const ControlState& c) { return c; });
}

std::vector<std::string> GuiModel::roles(WindowToken window) const {
  std::lock_guard lock(impl_->mutex);
  std::vector<std::string> all;
  if (const Window* w = impl_->find(window)) {
    for (const ControlState& c : w->controls) all.push_back(c.role);
  }
  return all;
}

void GuiModel::set_geometry(const ControlRef& control, GuiRect geometry) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    geometry.width = std::max(0, geometry.width);
    geometry.height = std::max(0, geometry.height);
    if (c.geometry == geometry) return;
    c.geometry = geometry;
    b.add(c.role, ChangeKind::geometry);
  });
}

GuiRect GuiModel::geometry(const ControlRef& control) const {
  return impl_->read_control(control, GuiRect{}, [](const Window&, const ControlState& c) { return c.geometry; });
}

void GuiModel::set_position(const ControlRef& control, int x, int y) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.geometry.x == x && c.geometry.y == y) return;
    c.geometry.x = x;
    c.geometry.y = y;
    b.add(c.role, ChangeKind::geometry);
  });
}

void GuiModel::set_size(const ControlRef& control, int width, int height) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    width = std::max(0, width);
    height = std::max(0, height);
    if (c.geometry.width == width && c.geometry.height == height) return;
    c.geometry.width = width;
    c.geometry.height = height;
    b.add(c.role, ChangeKind::geometry);
  });
}

GuiPoint GuiModel::window_position(const ControlRef& control) const {
  return impl_->read_control(control, GuiPoint{},
                             [](const Window& w, const ControlState& c) { return Impl::window_position(w, c); });
}

std::string GuiModel::control_at(WindowToken window, GuiPoint point) const {
  std::lock_guard lock(impl_->mutex);
  const Window* w = impl_->find(window);
  if (!w) return {};
  const ControlState* found = nullptr;
  for (;;) {
    const std::string& container = found ? found->role : std::string();
    const ControlState* inner = nullptr;
    for (const ControlState& c : w->controls) {
      if (c.container != container || !Impl::effectively_visible(*w, c)) continue;
      const GuiPoint at = Impl::window_position(*w, c);
      const bool holds = point.x >= at.x && point.y >= at.y && point.x < at.x + c.geometry.width &&
                         point.y < at.y + c.geometry.height;
      if (holds && (!inner || c.z_order > inner->z_order)) inner = &c;
    }
    if (!inner) break;
    found = inner;
  }
  if (!found) return {};
  return found->kind == ControlKind::tab_page ? found->container : found->role;
}

void GuiModel::bring_to_front(const ControlRef& control) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    c.z_order = ++w.z_counter;
    b.add(c.role, ChangeKind::z_order);
  });
}

void GuiModel::set_enabled(const ControlRef& control, bool enabled) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.enabled == enabled) return;
    c.enabled = enabled;
    b.add(c.role, ChangeKind::enabled);
  });
}

bool GuiModel::enabled(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.enabled; });
}

bool GuiModel::effectively_enabled(const ControlRef& control) const {
  return impl_->read_control(control, false,
                             [](const Window& w, const ControlState& c) { return Impl::effectively_enabled(w, c); });
}

void GuiModel::set_visible(const ControlRef& control, bool visible) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.visible == visible) return;
    c.visible = visible;
    b.add(c.role, ChangeKind::visible);
  });
}

bool GuiModel::visible(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.visible; });
}

void GuiModel::set_text(const ControlRef& control, const std::string& text) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    Impl::set_text_locked(c, text, b);
    if (c.kind == ControlKind::edit_box) b.text_events.push_back({control, c.text});
  });
}

std::string GuiModel::text(const ControlRef& control) const {
  return impl_->read_control(control, std::string{}, [](const Window&, const ControlState& c) { return c.text; });
}

void GuiModel::append_text(const ControlRef& control, const std::string& text) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::edit_box) return;
    Impl::set_text_locked(c, c.text + text, b);
    c.selection_start = static_cast<int>(c.text.size());  // the caret after the insertion
    c.selection_length = 0;
    b.add(c.role, ChangeKind::text_selection);
    b.text_events.push_back({control, c.text});
  });
}

void GuiModel::select_all_text(const ControlRef& control) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::edit_box && c.kind != ControlKind::combo_box) return;
    c.selection_start = 0;
    c.selection_length = static_cast<int>(c.text.size());
    b.add(c.role, ChangeKind::text_selection);
  });
}

void GuiModel::set_checked(const ControlRef& control, bool checked) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) { Impl::set_checked_locked(w, c, checked, b); });
}

bool GuiModel::checked(const ControlRef& control) const {
  return impl_->read_control(control, false, [](const Window&, const ControlState& c) { return c.checked; });
}

void GuiModel::set_value(const ControlRef& control, int value) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (has_range(c.kind)) value = clamp_to(value, c.minimum, c.maximum);
    if (c.value == value) return;
    c.value = value;
    b.add(c.role, ChangeKind::value);
  });
}

int GuiModel::value(const ControlRef& control) const {
  return impl_->read_control(control, 0, [](const Window&, const ControlState& c) { return c.value; });
}

void GuiModel::set_range(const ControlRef& control, int minimum, int maximum) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (maximum < minimum) maximum = minimum;
    if (c.minimum != minimum || c.maximum != maximum) {
      c.minimum = minimum;
      c.maximum = maximum;
      b.add(c.role, ChangeKind::range);
    }
    if (has_range(c.kind)) {
      const int clamped = clamp_to(c.value, c.minimum, c.maximum);
      if (clamped != c.value) {
        c.value = clamped;
        b.add(c.role, ChangeKind::value);
      }
    }
  });
}

GuiPoint GuiModel::range(const ControlRef& control) const {
  return impl_->read_control(control, GuiPoint{},
                             [](const Window&, const ControlState& c) { return GuiPoint{c.minimum, c.maximum}; });
}

void GuiModel::set_items(const ControlRef& control, std::vector<std::string> items) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    c.items = std::move(items);
    b.add(c.role, ChangeKind::items);
    if (c.kind == ControlKind::combo_box) {
      const int old = c.selected;
      const std::string old_text = c.text;
      c.selected = c.editable ? Impl::find_item(c, c.text) : -1;
      if (!c.editable) c.text.clear();
      if (old != c.selected) b.add(c.role, ChangeKind::selected);
      if (old_text != c.text) b.add(c.role, ChangeKind::text);
    }
  });
}

void GuiModel::add_item(const ControlRef& control, const std::string& item) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    c.items.push_back(item);
    b.add(c.role, ChangeKind::items);
  });
}

std::vector<std::string> GuiModel::items(const ControlRef& control) const {
  return impl_->read_control(control, std::vector<std::string>{}, [](const Window& w, const ControlState& c) {
    if (c.kind != ControlKind::tab_control) return c.items;
    std::vector<std::string> captions;
    for (const ControlState* page : Impl::pages_of(w, c.role)) captions.push_back(page->text);
    return captions;
  });
}

void GuiModel::set_selected_index(const ControlRef& control, int index) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::tab_control) {
      const int pages = static_cast<int>(Impl::pages_of(w, c.role).size());
      if (index < 0 || index >= pages || index == c.selected) return;
      c.selected = index;
      b.add(c.role, ChangeKind::selected);
      return;
    }
    if (c.kind != ControlKind::combo_box) return;
    const std::string old_text = c.text;
    const int old = c.selected;
    c.selected = index;
    Impl::sync_combo_text(c);
    if (c.selected < 0) c.text.clear();
    if (old != c.selected) b.add(c.role, ChangeKind::selected);
    if (old_text != c.text) b.add(c.role, ChangeKind::text);
  });
}

int GuiModel::selected_index(const ControlRef& control) const {
  return impl_->read_control(control, -1, [](const Window&, const ControlState& c) { return c.selected; });
}

void GuiModel::set_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.colour == colour) return;
    c.colour = colour;
    b.add(c.role, ChangeKind::colour);
  });
}

std::optional<GuiColour> GuiModel::colour(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<GuiColour>{},
                             [](const Window&, const ControlState& c) { return c.colour; });
}

void GuiModel::set_background_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.background_colour == colour) return;
    c.background_colour = colour;
    b.add(c.role, ChangeKind::background_colour);
  });
}

void GuiModel::set_frame_colour(const ControlRef& control, std::optional<GuiColour> colour) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.frame_colour == colour) return;
    c.frame_colour = colour;
    b.add(c.role, ChangeKind::frame_colour);
  });
}

std::optional<GuiColour> GuiModel::frame_colour(const ControlRef& control) const {
  return impl_->read_control(control, std::optional<GuiColour>{},
                             [](const Window&, const ControlState& c) { return c.frame_colour; });
}

void GuiModel::set_font(const ControlRef& control, const GuiFont& font) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.font == font) return;
    c.font = font;
    b.add(c.role, ChangeKind::font);
  });
}

void GuiModel::set_picture(const ControlRef& control, GuiPicture picture) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.picture == picture) return;
    c.picture = std::move(picture);
    b.add(c.role, ChangeKind::picture);
  });
}

GuiPicture GuiModel::picture(const ControlRef& control) const {
  return impl_->read_control(control, GuiPicture{}, [](const Window&, const ControlState& c) { return c.picture; });
}

void GuiModel::set_read_only(const ControlRef& control, bool read_only) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.read_only == read_only) return;
    c.read_only = read_only;
    b.add(c.role, ChangeKind::style);
  });
}

void GuiModel::set_tab_headers_visible(const ControlRef& control, bool visible) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.tab_headers_visible == visible) return;
    c.tab_headers_visible = visible;
    b.add(c.role, ChangeKind::style);
  });
}

void GuiModel::set_drop_target(const ControlRef& control, bool accepts) {
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.drop_target == accepts) return;
    c.drop_target = accepts;
    b.add(c.role, ChangeKind::drop_target);
  });
}

void GuiModel::set_focus(const ControlRef& control) {
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (w.state.focus == c.role) return;
    w.state.focus = c.role;
    b.add({}, ChangeKind::window_focus);
  });
}

std::string GuiModel::focused_role(WindowToken window) const { return window_state(window).focus; }

// ---------------------------------------------------------------- list views

void GuiModel::set_columns(const ControlRef& list, std::vector<ListColumn> columns) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    c.columns = std::move(columns);
    for (ListRow& row : c.rows) fit_cells(row.cells, c.columns.size());
    b.add(c.role, ChangeKind::columns);
    b.add(c.role, ChangeKind::rows);
  });
}

std::vector<ListColumn> GuiModel::columns(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<ListColumn>{}, [](const Window&, const ControlState& c) { return c.columns; });
}

int GuiModel::column_count(const ControlRef& list) const {
  return impl_->read_control(list, 0, [](const Window&, const ControlState& c) { return static_cast<int>(c.columns.size()); });
}

int GuiModel::row_count(const ControlRef& list) const {
  return impl_->read_control(list, 0, [](const Window&, const ControlState& c) { return count_rows(c); });
}

RowRef GuiModel::append_row(const ControlRef& list, std::vector<std::string> cells) {
  return insert_row(list, -1, std::move(cells));
}

RowRef GuiModel::append_numbered_row(const ControlRef& list, int number_column, std::vector<std::string> cells) {
  std::vector<std::vector<std::string>> rows(1);
  rows.front() = std::move(cells);
  return append_numbered_rows(list, number_column, std::move(rows));
}

RowRef GuiModel::append_numbered_rows(const ControlRef& list, int number_column,
                                      std::vector<std::vector<std::string>> rows) {
  RowRef result;
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::list_view || rows.empty()) return;
    // Room for all of them, growing as push_back would (never one row at a time).
    const std::size_t needed = c.rows.size() + rows.size();
    if (needed > c.rows.capacity()) c.rows.reserve(std::max(needed, 2 * c.rows.capacity()));
    for (std::vector<std::string>& cells : rows) {
      ListRow row;
      row.id = impl_->next_row++;
      row.cells = std::move(cells);
      fit_cells(row.cells, c.columns.size());
      if (number_column >= 0 && number_column < static_cast<int>(row.cells.size())) {
        row.cells[static_cast<std::size_t>(number_column)] = std::to_string(c.rows.size() + 1);
      }
      c.rows.push_back(std::move(row));
      w.row_appended(c);
    }
    result = RowRef{count_rows(c) - 1, c.rows.back().id};
    b.add(c.role, ChangeKind::rows);
  });
  return result;
}

RowRef GuiModel::insert_row(const ControlRef& list, int index, std::vector<std::string> cells, bool checked) {
  RowRef result;
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::list_view) return;
    if (index < 0 || index > count_rows(c)) index = count_rows(c);
    ListRow row;
    row.id = impl_->next_row++;
    row.cells = std::move(cells);
    row.checked = checked;
    fit_cells(row.cells, c.columns.size());
    const bool at_end = index == count_rows(c);
    c.rows.insert(c.rows.begin() + index, std::move(row));
    if (at_end) w.row_appended(c);
    else w.rows_rearranged(c);
    result = RowRef{index, c.rows[static_cast<std::size_t>(index)].id};
    b.add(c.role, ChangeKind::rows);
  });
  return result;
}

void GuiModel::delete_row(const ControlRef& list, int index) { delete_rows(list, {index}); }

namespace {

// Removes the rows marked in `doomed` (one flag per row) in one pass; false when none was.
bool erase_marked_rows(ControlState& c, const std::vector<char>& doomed) {
  std::size_t index = 0;
  const std::size_t before = c.rows.size();
  std::erase_if(c.rows, [&](const ListRow&) { return doomed[index++] != 0; });
  if (c.rows.size() == before) return false;
  c.top_row = std::min(c.top_row, std::max(0, count_rows(c) - 1));
  return true;
}

}  // namespace

void GuiModel::delete_rows(const ControlRef& list, const std::vector<int>& indexes) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    std::vector<char> doomed(c.rows.size(), 0);
    for (int i : indexes) {
      if (valid_row(c, i)) doomed[static_cast<std::size_t>(i)] = 1;
    }
    if (!erase_marked_rows(c, doomed)) return;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::delete_rows_by_id(const ControlRef& list, const std::vector<RowId>& ids) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    std::vector<char> doomed(c.rows.size(), 0);
    for (const RowId id : ids) {
      if (const int row = w.find_row(c, id); row >= 0) doomed[static_cast<std::size_t>(row)] = 1;
    }
    if (!erase_marked_rows(c, doomed)) return;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::clear_rows(const ControlRef& list) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (c.rows.empty()) return;
    c.rows.clear();
    c.rows.shrink_to_fit();
    c.top_row = 0;
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

void GuiModel::move_row(const ControlRef& list, int from, int to) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    if (!valid_row(c, from)) return;
    const int last = count_rows(c) - 1;
    if (to < 0 || to > last) to = last;
    if (from == to) return;
    ListRow row = std::move(c.rows[static_cast<std::size_t>(from)]);
    c.rows.erase(c.rows.begin() + from);
    c.rows.insert(c.rows.begin() + to, std::move(row));
    w.rows_rearranged(c);
    b.add(c.role, ChangeKind::rows);
  });
}

std::string GuiModel::cell(const ControlRef& list, int row, int column) const {
  return impl_->read_control(list, std::string{}, [&](const Window&, const ControlState& c) {
    if (!valid_row(c, row) || column < 0) return std::string{};
    const auto& cells = c.rows[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : std::string{};
  });
}

void GuiModel::set_cell(const ControlRef& list, int row, int column, const std::string& text) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row) || column < 0) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(r.cells.size())) return;
    if (r.cells[static_cast<std::size_t>(column)] == text) return;
    r.cells[static_cast<std::size_t>(column)] = text;
    b.add(c.role, ChangeKind::cell, r.id, column);
  });
}

std::vector<std::string> GuiModel::row_cells(const ControlRef& list, int row) const {
  return impl_->read_control(list, std::vector<std::string>{}, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) ? c.rows[static_cast<std::size_t>(row)].cells : std::vector<std::string>{};
  });
}

std::vector<ListRow> GuiModel::list_rows(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<ListRow>{}, [](const Window&, const ControlState& c) { return c.rows; });
}

std::vector<std::string> GuiModel::column_texts(const ControlRef& list, int column) const {
  return impl_->read_control(list, std::vector<std::string>{}, [&](const Window&, const ControlState& c) {
    std::vector<std::string> texts;
    texts.reserve(c.rows.size());
    for (const ListRow& row : c.rows) {
      texts.push_back(column >= 0 && column < static_cast<int>(row.cells.size())
                          ? row.cells[static_cast<std::size_t>(column)]
                          : std::string());
    }
    return texts;
  });
}

RowId GuiModel::row_id(const ControlRef& list, int row) const {
  return impl_->read_control(list, RowId{0}, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) ? c.rows[static_cast<std::size_t>(row)].id : RowId{0};
  });
}

int GuiModel::row_index(const ControlRef& list, RowId id) const {
  return impl_->read_control(list, -1, [&](const Window& w, const ControlState& c) { return w.find_row(c, id); });
}

std::optional<ListRow> GuiModel::row_by_id(const ControlRef& list, RowId id) const {
  return impl_->read_control(list, std::optional<ListRow>{}, [&](const Window& w, const ControlState& c) {
    const int row = w.find_row(c, id);
    return row < 0 ? std::optional<ListRow>{} : std::optional<ListRow>{c.rows[static_cast<std::size_t>(row)]};
  });
}

std::string GuiModel::cell_by_id(const ControlRef& list, RowId id, int column) const {
  return impl_->read_control(list, std::string{}, [&](const Window& w, const ControlState& c) {
    const int row = w.find_row(c, id);
    if (row < 0 || column < 0) return std::string{};
    const auto& cells = c.rows[static_cast<std::size_t>(row)].cells;
    return column < static_cast<int>(cells.size()) ? cells[static_cast<std::size_t>(column)] : std::string{};
  });
}

void GuiModel::set_cell_by_id(const ControlRef& list, RowId id, int column, const std::string& text) {
  impl_->change_control(list, [&](Window& w, ControlState& c, Batch& b) {
    const int row = w.find_row(c, id);
    if (row < 0 || column < 0) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (column >= static_cast<int>(r.cells.size()) || r.cells[static_cast<std::size_t>(column)] == text) return;
    r.cells[static_cast<std::size_t>(column)] = text;
    b.add(c.role, ChangeKind::cell, r.id, column);
  });
}

void GuiModel::set_row_checked(const ControlRef& list, int row, bool checked) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    if (r.checked == checked) return;
    r.checked = checked;
    b.add(c.role, ChangeKind::row_state, r.id);
  });
}

bool GuiModel::row_checked(const ControlRef& list, int row) const {
  return impl_->read_control(list, false, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) && c.rows[static_cast<std::size_t>(row)].checked;
  });
}

void GuiModel::set_row_selected(const ControlRef& list, int row, bool selected) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->set_row_selected_locked(c, row, selected, b); });
}

bool GuiModel::row_selected(const ControlRef& list, int row) const {
  return impl_->read_control(list, false, [&](const Window&, const ControlState& c) {
    return valid_row(c, row) && c.rows[static_cast<std::size_t>(row)].selected;
  });
}

void GuiModel::select_all_rows(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    std::vector<int> all(c.rows.size());
    for (std::size_t i = 0; i < all.size(); ++i) all[i] = static_cast<int>(i);
    impl_->select_rows_locked(c, all, b);
  });
}

void GuiModel::invert_row_selection(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    std::vector<int> inverted;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (!c.rows[i].selected) inverted.push_back(static_cast<int>(i));
    }
    impl_->select_rows_locked(c, inverted, b);
  });
}

void GuiModel::clear_row_selection(const ControlRef& list) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->select_rows_locked(c, {}, b); });
}

std::vector<int> GuiModel::selected_rows(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<int>{}, [](const Window&, const ControlState& c) {
    std::vector<int> rows;
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (c.rows[i].selected) rows.push_back(static_cast<int>(i));
    }
    return rows;
  });
}

std::vector<RowId> GuiModel::selected_row_ids(const ControlRef& list) const {
  return impl_->read_control(list, std::vector<RowId>{}, [](const Window&, const ControlState& c) {
    std::vector<RowId> ids;
    for (const ListRow& row : c.rows) {
      if (row.selected) ids.push_back(row.id);
    }
    return ids;
  });
}

ListRowIds GuiModel::row_ids_since(const ControlRef& list, std::uint64_t version, int count) const {
  return impl_->read_control(list, ListRowIds{}, [&](const Window& w, const ControlState& c) {
    ListRowIds result;
    result.version = w.rows_version(c);
    result.first = result.version == version && count >= 0 && count <= count_rows(c) ? count : 0;
    result.ids.reserve(c.rows.size() - static_cast<std::size_t>(result.first));
    for (std::size_t i = static_cast<std::size_t>(result.first); i < c.rows.size(); ++i) result.ids.push_back(c.rows[i].id);
    return result;
  });
}

ListSelection GuiModel::list_selection(const ControlRef& list) const {
  return impl_->read_control(list, ListSelection{}, [](const Window& w, const ControlState& c) {
    ListSelection result;
    result.version = w.rows_version(c);
    result.count = count_rows(c);
    for (int i = 0; i < result.count; ++i) {
      if (!c.rows[static_cast<std::size_t>(i)].selected) continue;
      if (!result.ranges.empty() && result.ranges.back().second == i - 1) result.ranges.back().second = i;
      else result.ranges.emplace_back(i, i);
    }
    return result;
  });
}

int GuiModel::first_selected_row(const ControlRef& list) const {
  return impl_->read_control(list, -1, [](const Window&, const ControlState& c) {
    for (std::size_t i = 0; i < c.rows.size(); ++i) {
      if (c.rows[i].selected) return static_cast<int>(i);
    }
    return -1;
  });
}

void GuiModel::scroll_to_row(const ControlRef& list, int row) {
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    const int visible_rows = std::max(1, (c.geometry.height - list_header_height) / list_row_height);
    int top = c.top_row;
    if (row < top) top = row;
    else if (row >= top + visible_rows) top = row - visible_rows + 1;
    if (top != c.top_row) c.top_row = top;
    // Told also when top_row stays: the view then makes sure the row shows.
    b.add(c.role, ChangeKind::scroll, c.rows[static_cast<std::size_t>(row)].id);
  });
}

int GuiModel::hit_test_row(const ControlRef& list, int x, int y) const {
  GuiView* view;
  {
    std::lock_guard lock(impl_->mutex);
    view = impl_->view;
  }
  if (view) {
    if (std::optional<int> row = view->hit_test_row(list, x, y)) return *row;
  }
  return impl_->read_control(list, -1, [&](const Window&, const ControlState& c) {
    if (x < 0 || x >= c.geometry.width || y < list_header_height || y >= c.geometry.height) return -1;
    const int row = c.top_row + (y - list_header_height) / list_row_height;
    return valid_row(c, row) ? row : -1;
  });
}

// ---------------------------------------------------------------- pop-up menus

void GuiModel::set_menu_items(const ControlRef& menu, std::vector<MenuItem> items) {
  impl_->change_control(menu, [&](Window&, ControlState& c, Batch& b) {
    c.menu_items = std::move(items);
    b.add(c.role, ChangeKind::menu_items);
  });
}

std::vector<MenuItem> GuiModel::menu_items(const ControlRef& menu) const {
  return impl_->read_control(menu, std::vector<MenuItem>{}, [](const Window&, const ControlState& c) { return c.menu_items; });
}

int GuiModel::popup_menu(const ControlRef& menu, std::optional<GuiPoint> at) {
  if (!loop_.is_ui_thread() || !exists(menu)) return -1;
  PopupMenuRequest request;
  request.menu = menu;
  request.items = menu_items(menu);
  request.at = at ? *at : services_.cursor->cursor_position();
  const int chosen = services_.popup_menus->popup_menu(request);
  if (chosen < 0 || chosen >= static_cast<int>(request.items.size())) return -1;
  const MenuItem& item = request.items[static_cast<std::size_t>(chosen)];
  if (item.separator || !item.enabled) return -1;
  GuiEvent event;
  event.kind = EventKind::menu_chosen;
  event.target = menu;
  event.value = chosen;
  impl_->dispatch(event);
  return chosen;
}

// ---------------------------------------------------------------- animation boxes

void GuiModel::animation_clear(const ControlRef& box) {
  impl_->change_control(box, [&](Window&, ControlState& c, Batch& b) {
    if (c.objects.empty()) return;
    c.objects.clear();
    b.add(c.role, ChangeKind::animation_objects);
  });
}

int GuiModel::animation_add(const ControlRef& box, const std::string& template_role, int x, int y) {
  int id = 0;
  impl_->change_control(box, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind != ControlKind::animation_box) return;
    const ControlState* t = w.find(template_role);
    if (!t) return;
    AnimationObject o;
    int& next = w.next_object_id[c.role];
    if (next < 1) next = 1;
    o.id = next++;
    o.x = x;
    o.y = y;
    o.width = t->geometry.width;
    o.height = t->geometry.height;
    o.scale = t->value > 0 ? t->value : 1000;
    o.picture = t->picture;
    o.visible = true;
    c.objects.push_back(std::move(o));
    id = c.objects.back().id;
    b.add(c.role, ChangeKind::animation_objects, 0, -1, id);
  });
  return id;
}

void GuiModel::animation_move(const ControlRef& box, int object_id, int x, int y) {
  impl_->change_control(box, [&](Window&, ControlState& c, Batch& b) {
    for (AnimationObject& o : c.objects) {
      if (o.id != object_id) continue;
      if (o.x == x && o.y == y) return;
      o.x = x;
      o.y = y;
      b.add(c.role, ChangeKind::animation_objects, 0, -1, object_id);
      return;
    }
  });
}

std::optional<GuiPoint> GuiModel::animation_position(const ControlRef& box, int object_id) const {
  return impl_->read_control(box, std::optional<GuiPoint>{}, [&](const Window&, const ControlState& c) {
    for (const AnimationObject& o : c.objects) {
      if (o.id == object_id) return std::optional<GuiPoint>(GuiPoint{o.x, o.y});
    }
    return std::optional<GuiPoint>{};
  });
}

std::vector<AnimationObject> GuiModel::animation_objects(const ControlRef& box) const {
  return impl_->read_control(box, std::vector<AnimationObject>{}, [](const Window&, const ControlState& c) { return c.objects; });
}

// ---------------------------------------------------------------- mouse-driven moves

bool GuiModel::drag_control(const ControlRef& control, DragMode mode) {
  if (!loop_.is_ui_thread() || !exists(control)) return false;
  ControlDragRequest request;
  request.control = control;
  request.mode = mode;
  request.start = geometry(control);
  const std::optional<GuiRect> result = services_.control_drag->drag_control(request);
  {
    // The button has been released during the drag: no capture is left.
    std::lock_guard lock(impl_->mutex);
    if (Window* w = impl_->find(control.window)) {
      w->capture.clear();
      w->held_buttons = 0;
    }
  }
  if (!result || *result == request.start) return false;
  set_geometry(control, *result);
  return geometry(control) != request.start;
}

// ---------------------------------------------------------------- user input

namespace {
GuiEvent make_event(EventKind kind, const ControlRef& target) {
  GuiEvent e;
  e.kind = kind;
  e.target = target;
  return e;
}
}  // namespace

bool GuiModel::input_click(const ControlRef& control) {
  if (forward_to_ui_thread(&GuiModel::input_click, control)) return false;
  if (!impl_->accept_input(control)) return false;
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::check_box) Impl::set_checked_locked(w, c, !c.checked, b);
    else if (c.kind == ControlKind::radio_button) Impl::set_checked_locked(w, c, true, b);
  });
  impl_->dispatch(make_event(EventKind::clicked, control));
  return true;
}

bool GuiModel::input_double_click(const ControlRef& control, int x, int y) {
  if (forward_to_ui_thread(&GuiModel::input_double_click, control, x, y)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::double_clicked, control);
  e.x = x;
  e.y = y;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_right_click(const ControlRef& control, int x, int y) {
  if (forward_to_ui_thread(&GuiModel::input_right_click, control, x, y)) return false;
  if (!impl_->accept_input(control)) return false;
  if (kind(control) == ControlKind::list_view) {
    const int row = hit_test_row(control, x, y);
    bool changed = false;
    impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
      if (!valid_row(c, row) || c.rows[static_cast<std::size_t>(row)].selected) return;
      impl_->select_rows_locked(c, {row}, b);
      changed = true;
    });
    if (changed) impl_->dispatch(make_event(EventKind::selection_changed, control));
  }
  GuiEvent e = make_event(EventKind::right_clicked, control);
  e.x = x;
  e.y = y;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_text(const ControlRef& control, const std::string& text) {
  if (forward_to_ui_thread(&GuiModel::input_text, control, text)) return false;
  if (!impl_->accept_input(control)) return false;
  bool accepted = false;
  impl_->change_control(control, [&](Window&, ControlState& c, Batch& b) {
    if (c.kind == ControlKind::edit_box) {
      if (c.read_only) return;
      if (c.digits_only && !std::all_of(text.begin(), text.end(), [](char ch) { return ch >= '0' && ch <= '9'; })) return;
      // Characters, not bytes: a UTF-8 continuation byte starts none.
      const auto characters = std::count_if(text.begin(), text.end(), [](char ch) { return (ch & 0xC0) != 0x80; });
      if (c.max_length > 0 && characters > c.max_length) return;
    } else if (!(c.kind == ControlKind::combo_box && c.editable)) {
      return;
    }
    Impl::set_text_locked(c, text, b);
    accepted = true;
  });
  if (!accepted) return false;
  GuiEvent e = make_event(EventKind::text_changed, control);
  e.text = text;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_select(const ControlRef& control, int index) {
  if (forward_to_ui_thread(&GuiModel::input_select, control, index)) return false;
  if (!impl_->accept_input(control)) return false;
  bool accepted = false;
  impl_->change_control(control, [&](Window& w, ControlState& c, Batch& b) {
    int count = 0;
    if (c.kind == ControlKind::combo_box) count = static_cast<int>(c.items.size());
    else if (c.kind == ControlKind::tab_control) count = static_cast<int>(Impl::pages_of(w, c.role).size());
    else return;
    if (index < 0 || index >= count) return;
    accepted = true;
    if (c.selected == index) return;
    c.selected = index;
    b.add(c.role, ChangeKind::selected);
    if (c.kind == ControlKind::combo_box) {
      Impl::sync_combo_text(c);
      b.add(c.role, ChangeKind::text);
    }
  });
  if (!accepted) return false;
  GuiEvent e = make_event(EventKind::selection_changed, control);
  e.value = index;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_select_rows(const ControlRef& list, const std::vector<int>& rows) {
  if (forward_to_ui_thread(&GuiModel::input_select_rows, list, rows)) return false;
  if (!impl_->accept_input(list) || kind(list) != ControlKind::list_view) return false;
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) { impl_->select_rows_locked(c, rows, b); });
  GuiEvent e = make_event(EventKind::selection_changed, list);
  e.value = first_selected_row(list);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_row_checked(const ControlRef& list, int row, bool checked) {
  if (forward_to_ui_thread(&GuiModel::input_row_checked, list, row, checked)) return false;
  if (!impl_->accept_input(list)) return false;
  RowId id = 0;
  impl_->change_control(list, [&](Window&, ControlState& c, Batch& b) {
    if (!valid_row(c, row)) return;
    ListRow& r = c.rows[static_cast<std::size_t>(row)];
    id = r.id;
    if (r.checked == checked) return;
    r.checked = checked;
    b.add(c.role, ChangeKind::row_state, r.id);
  });
  if (!id) return false;
  GuiEvent e = make_event(EventKind::row_checked, list);
  e.value = row;
  e.row_id = id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_slider_moved(const ControlRef& slider, int value) {
  if (forward_to_ui_thread(&GuiModel::input_slider_moved, slider, value)) return false;
  if (!impl_->accept_input(slider) || kind(slider) != ControlKind::slider) return false;
  set_value(slider, value);
  GuiEvent e = make_event(EventKind::value_changed, slider);
  e.value = this->value(slider);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_slider_released(const ControlRef& slider) {
  if (forward_to_ui_thread(&GuiModel::input_slider_released, slider)) return false;
  if (!impl_->accept_input(slider) || kind(slider) != ControlKind::slider) return false;
  GuiEvent e = make_event(EventKind::slider_released, slider);
  e.value = value(slider);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_colour(const ControlRef& picker, GuiColour colour) {
  if (forward_to_ui_thread(&GuiModel::input_colour, picker, colour)) return false;
  if (!impl_->accept_input(picker)) return false;
  set_colour(picker, colour);
  GuiEvent e = make_event(EventKind::colour_changed, picker);
  e.value = static_cast<int>(colour);
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_key(const ControlRef& control, int key, int modifiers) {
  if (forward_to_ui_thread(&GuiModel::input_key, control, key, modifiers)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::key_down, control);
  e.key = key;
  e.modifiers = modifiers;
  if (impl_->dispatch(e).value_or(false)) return true;
  if (control.role.empty()) return false;
  e.target = window_ref(control.window);
  return impl_->dispatch(e).value_or(false);
}

bool GuiModel::input_focus(const ControlRef& control) {
  if (forward_to_ui_thread(&GuiModel::input_focus, control)) return false;
  if (!impl_->accept_input(control)) return false;
  set_focus(control);
  impl_->dispatch(make_event(EventKind::focus_gained, control));
  return true;
}

bool GuiModel::input_mouse_down(const ControlRef& control, int x, int y, int button) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_down, control, x, y, button)) return false;
  if (!impl_->accept_input(control)) return false;
  GuiEvent e = make_event(EventKind::mouse_down, control);
  e.x = x;
  e.y = y;
  e.button = button;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    // A press on a tab page's free surface belongs to the tab control.
    if (const ControlState* c = w->find(control.role); c && c->kind == ControlKind::tab_page) {
      e.target.role = c->container;
      e.x += c->geometry.x;
      e.y += c->geometry.y;
    }
    if (w->held_buttons == 0 || !w->find(w->capture)) w->capture = e.target.role;
    else if (w->capture != e.target.role) {
      // Another button while captured: it goes to the capturing control as well.
      Impl::retarget_to_capture(*w, w->find(e.target.role), e);
    }
    w->held_buttons |= button;
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_mouse_move(const ControlRef& control, int x, int y, int buttons) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_move, control, x, y, buttons)) return false;
  GuiEvent e = make_event(EventKind::mouse_move, control);
  e.x = x;
  e.y = y;
  e.buttons = buttons;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    const bool captured = w->held_buttons != 0 && (w->capture.empty() || w->find(w->capture));
    if (!captured) {
      w->held_buttons = 0;
    }
    const ControlState* c = w->find(control.role);
    if (!control.role.empty() && !c) return false;
    if (captured) {
      Impl::retarget_to_capture(*w, c, e);
      e.buttons = buttons ? buttons : w->held_buttons;
    } else {
      if (w->destroying || !w->state.visible || w->blocked > 0 || !w->state.enabled) return false;
      if (c && (!Impl::effectively_visible(*w, *c) || !Impl::effectively_enabled(*w, *c))) return false;
      if (c && c->kind == ControlKind::tab_page) {
        e.target.role = c->container;
        e.x += c->geometry.x;
        e.y += c->geometry.y;
      }
    }
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_mouse_up(const ControlRef& control, int x, int y, int button) {
  if (forward_to_ui_thread(&GuiModel::input_mouse_up, control, x, y, button)) return false;
  GuiEvent e = make_event(EventKind::mouse_up, control);
  e.x = x;
  e.y = y;
  e.button = button;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(control.window);
    if (!w) return false;
    const ControlState* c = w->find(control.role);
    if (!control.role.empty() && !c) return false;
    const bool captured = w->held_buttons != 0 && (w->capture.empty() || w->find(w->capture));
    if (captured) {
      Impl::retarget_to_capture(*w, c, e);
      w->held_buttons &= ~button;
      if (w->held_buttons == 0) w->capture.clear();
    } else {
      w->held_buttons = 0;
      if (w->destroying || !w->state.visible || w->blocked > 0 || !w->state.enabled) return false;
      if (c && (!Impl::effectively_visible(*w, *c) || !Impl::effectively_enabled(*w, *c))) return false;
      if (c && c->kind == ControlKind::tab_page) {
        e.target.role = c->container;
        e.x += c->geometry.x;
        e.y += c->geometry.y;
      }
    }
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_drop_files(const ControlRef& control, const std::vector<std::string>& names) {
  if (forward_to_ui_thread(&GuiModel::input_drop_files, control, names)) return false;
  if (names.empty() || !impl_->accept_input(control)) return false;
  if (!control_state(control).drop_target) return false;
  GuiEvent e = make_event(EventKind::files_dropped, control);
  if (names.size() == 1) {
    e.text = names.front();
  } else {
    for (const std::string& name : names) e.text += name + "\r\n";
  }
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_tray(WindowToken window, int kind) {
  if (forward_to_ui_thread(&GuiModel::input_tray, window, kind)) return false;
  if (kind < 1 || kind > 3) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w || w->destroying) return false;
  }
  GuiEvent e = make_event(EventKind::tray, window_ref(window));
  e.value = kind;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_menu_choice(const ControlRef& menu, int index) {
  if (forward_to_ui_thread(&GuiModel::input_menu_choice, menu, index)) return false;
  const std::vector<MenuItem> items = menu_items(menu);
  if (index < 0 || index >= static_cast<int>(items.size())) return false;
  const MenuItem& item = items[static_cast<std::size_t>(index)];
  if (item.separator || !item.enabled) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(menu.window);
    if (!w || w->destroying) return false;
  }
  GuiEvent e = make_event(EventKind::menu_chosen, menu);
  e.value = index;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_object_pressed(const ControlRef& box, int object_id) {
  if (forward_to_ui_thread(&GuiModel::input_object_pressed, box, object_id)) return false;
  if (!impl_->accept_input(box) || !animation_position(box, object_id)) return false;
  GuiEvent e = make_event(EventKind::object_pressed, box);
  e.value = object_id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_object_released(const ControlRef& box, int object_id) {
  if (forward_to_ui_thread(&GuiModel::input_object_released, box, object_id)) return false;
  if (!exists(box)) return false;
  GuiEvent e = make_event(EventKind::object_released, box);
  e.value = object_id;
  impl_->dispatch(e);
  return true;
}

bool GuiModel::input_close(WindowToken window) {
  if (forward_to_ui_thread(&GuiModel::input_close, window)) return false;
  {
    std::lock_guard lock(impl_->mutex);
    Window* w = impl_->find(window);
    if (!w) return true;
    if (w->blocked > 0) return false;
  }
  return request_close(window);
}

bool GuiModel::input_resize(WindowToken window, int width, int height) {
  if (forward_to_ui_thread(&GuiModel::input_resize, window, width, height)) return false;
  if (!window_exists(window)) return false;
  set_window_size(window, width, height);
  GuiEvent e = make_event(EventKind::resized, window_ref(window));
  const GuiPoint size = window_size(window);
  e.width = size.x;
  e.height = size.y;
  impl_->dispatch(e);
  return true;
}
