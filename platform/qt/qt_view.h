#pragma once
// The Qt Widgets view of the control model.
//
// Model -> widgets: change notices may come from any thread. They are queued (a
// notice already waiting is not queued twice) and applied on the GUI thread in one
// batch per queued call, each by reading the current state from the model, so the
// widgets always end up showing the latest state. A list's notices of cells and of row
// states wait as one notice per list (the list repaints what it shows), and so do its
// scroll notices, the latest row winning. Applying blocks the widgets'
// signals and the view's own input reports, so no program write comes back as user
// input.
//
// Widgets -> model: user actions become the model's input_* calls on the GUI
// thread; afterwards the widget is set to what the model made of the input (a
// refused text is put back, a radio button stays checked).
//
// Windows are top-level widgets of the window's client size; controls are child
// widgets at their designed geometry, relative to their container.

#include <QImage>
#include <QObject>
#include <QPoint>
#include <QPointer>

#include <cstdint>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "platform/gui/gui_model.h"
#include "platform/gui/gui_view.h"

class QComboBox;
class QWidget;
class FrameOverlay;
class WindowWidget;

class QtView final : public QObject, public GuiView {
 public:
  // Made on the GUI thread. Attach it with model.attach_view(&view); detach before
  // it goes.
  explicit QtView(GuiModel& model);
  ~QtView() override;
  QtView(const QtView&) = delete;
  QtView& operator=(const QtView&) = delete;

  // ---- GuiView (any thread) ----
  void window_created(WindowToken window) override;
  void window_destroyed(WindowToken window) override;
  void changed(const GuiChange& change) override;
  // GUI thread: applies what is queued, then asks the list widget.
  std::optional<int> hit_test_row(const ControlRef& list, int x, int y) override;

  // ---- GUI thread ----
  // Applies every queued notice now.
  void apply_pending();
  // The top-level widget of a window / the widget of a control; nullptr when there
  // is none (yet).
  QWidget* window_widget(WindowToken window);
  QWidget* control_widget(const ControlRef& control);
  // Renders the window's widget (queued notices applied first); null when none.
  QImage grab_window(WindowToken window);

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  struct ControlEntry {
    ControlKind kind = ControlKind::label;
    std::string container;
    QPointer<QWidget> widget;   // nullptr for kinds that are never shown
    QPointer<QWidget> content;  // where children go (containers)
    QPointer<FrameOverlay> frame;
    // What was applied last, so that only real changes touch the widget.
    GuiFont font;
    std::optional<GuiColour> colour;
    std::optional<GuiColour> background;
    bool palette_set = false;
    bool drop_target = false;
    bool scrolled_once = false;  // list views: the designed top row was applied
    int z_order = 0;
    int index = 0;  // creation order among all controls of the window
    GuiPicture picture;
  };
  struct WindowEntry {
    WindowToken token;
    QPointer<WindowWidget> widget;
    std::map<std::string, ControlEntry> controls;
    std::vector<std::string> order;  // creation order
    std::vector<GuiPicture> icons;
    bool shown_before = false;
  };
  // What an event-filtered object stands for.
  struct Target {
    WindowToken window;
    std::string role;  // "" = the window's own area
    ControlKind kind = ControlKind::label;
  };
  struct Notice {
    enum class Type { created, destroyed, change };
    Type type = Type::change;
    GuiChange change;
  };
  using NoticeKey = std::tuple<int, std::uint64_t, std::string, int, RowId, int, int>;

  // Blocks input reports while the view writes to widgets.
  class Applying {
   public:
    explicit Applying(QtView& view) : view_(view) { ++view_.applying_; }
    ~Applying() { --view_.applying_; }
    Applying(const Applying&) = delete;
    Applying& operator=(const Applying&) = delete;

   private:
    QtView& view_;
  };

  // queue (qt_view.cpp)
  static NoticeKey notice_key(const Notice& notice);
  void enqueue(Notice notice);
  void apply_notice(const Notice& notice);
  WindowEntry* find_window(WindowToken window);
  ControlEntry* find_control(WindowEntry& window, const std::string& role);

  // building (qt_view_build.cpp)
  void build_window(WindowToken window);
  void remove_window(WindowToken window);
  void create_control(WindowEntry& window, const ControlState& state);
  void recreate_control(WindowEntry& window, const std::string& role, const ControlState& state);
  // Makes the control's widget in its container and wires its input; false when the
  // container has no widget.
  bool make_control_widget(WindowEntry& window, const ControlState& state, ControlEntry& entry);
  QWidget* make_widget(const ControlState& state, QWidget* parent, ControlEntry& entry);
  void connect_input(WindowToken window, const ControlState& state, QWidget* widget);
  // The line edit of an editable combo exists from setEditable(true) on.
  void connect_combo_edit(WindowToken window, const std::string& role, QComboBox* combo);
  void watch(QObject* object, WindowToken window, const std::string& role, ControlKind kind);
  // A control's pop-up (a combo's drop-down list, a window of its own): its closing
  // ends the capture of the press that opened it (GuiModel::input_popup_closed).
  void watch_popup(QWidget* popup, WindowToken window, const std::string& role);
  QWidget* container_widget(WindowEntry& window, const std::string& container);

  // applying (qt_view_apply.cpp)
  void apply_window(WindowEntry& window, ChangeKind what);
  void show_window(WindowEntry& window, const WindowState& state);
  void apply_control(WindowEntry& window, const std::string& role, const ControlState& state);
  void apply_change(WindowEntry& window, const GuiChange& change);
  void apply_list(WindowEntry& window, ControlEntry& entry, const ControlRef& ref, const ControlState& state);
  void apply_look(ControlEntry& entry, const ControlState& state);
  void apply_text_selection(ControlEntry& entry, const ControlState& state);
  void restack(WindowEntry& window, const std::string& container);
  // Re-reads one control from the model and applies it (after user input).
  void sync_control(WindowToken window, const std::string& role);

  // input (qt_view_input.cpp)
  bool filter_mouse(QObject* watched, const Target& target, QEvent* event);
  bool filter_key(QObject* watched, const Target& target, QEvent* event);
  bool filter_drop(const Target& target, QEvent* event);
  void report_focus(const Target& target, QEvent* event);
  void choose_colour(WindowToken window, const std::string& role);
  bool reporting_allowed() const { return applying_ == 0; }

  GuiModel& model_;

  std::mutex queue_mutex_;
  std::vector<Notice> queue_;
  std::map<NoticeKey, std::size_t> queued_;  // each waiting notice's place in queue_
  bool flush_posted_ = false;

  // GUI thread only.
  std::map<std::uint64_t, WindowEntry> windows_;
  std::unordered_map<QObject*, Target> targets_;
  std::unordered_map<QObject*, ControlRef> popups_;  // pop-up window -> its control
  int applying_ = 0;
  bool flushing_ = false;
  // The last press on a control, for clicks (press and release on the same control)
  // and list clicks without a drag.
  QPointer<QObject> pressed_;
  QPoint pressed_at_;
  bool pressed_on_row_ = false;
  int pressed_object_ = 0;  // animation box object under the last left press
};
