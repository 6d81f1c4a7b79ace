// Building and removing the widgets of windows and controls, and wiring the
// widgets' user signals to the model's input.

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QCheckBox>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QToolButton>

#include "platform/qt/animation_box_widget.h"
#include "platform/qt/colour_swatch.h"
#include "platform/qt/drawing_panel_widget.h"
#include "platform/qt/frame_overlay.h"
#include "platform/qt/picture_box_widget.h"
#include "platform/qt/qt_conversions.h"
#include "platform/qt/qt_view.h"
#include "platform/qt/report_list_widget.h"
#include "platform/qt/window_widget.h"

namespace {

bool is_shown_kind(ControlKind kind) {
  return kind != ControlKind::popup_menu && kind != ControlKind::animation_template;
}

// Objects inside a control that receive its mouse or key events themselves.
std::vector<QObject*> inner_objects(QWidget* widget) {
  std::vector<QObject*> inner;
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) inner.push_back(area->viewport());
  if (auto* combo = qobject_cast<QComboBox*>(widget); combo && combo->lineEdit()) inner.push_back(combo->lineEdit());
  if (auto* tabs = qobject_cast<QTabWidget*>(widget)) inner.push_back(tabs->tabBar());
  return inner;
}

}  // namespace

void QtView::watch(QObject* object, WindowToken window, const std::string& role, ControlKind kind) {
  targets_[object] = Target{window, role, kind};
  object->installEventFilter(this);
  QObject::connect(object, &QObject::destroyed, this, [this](QObject* gone) { targets_.erase(gone); });
  if (auto* widget = qobject_cast<QWidget*>(object)) {
    // A control's mouse events stay with it, as on the original platform: the
    // container never sees a click that landed on a child control.
    if (!role.empty()) widget->setAttribute(Qt::WA_NoMousePropagation);
    widget->setMouseTracking(true);
  }
}

void QtView::watch_popup(QWidget* popup, WindowToken window, const std::string& role) {
  if (!popup || popups_.count(popup)) return;
  popups_[popup] = ControlRef{window, role};
  popup->installEventFilter(this);
  QObject::connect(popup, &QObject::destroyed, this, [this](QObject* gone) { popups_.erase(gone); });
}

QWidget* QtView::container_widget(WindowEntry& window, const std::string& container) {
  if (container.empty()) return window.widget.data();
  ControlEntry* entry = find_control(window, container);
  if (!entry) return nullptr;
  return entry->content ? entry->content.data() : entry->widget.data();
}

void QtView::build_window(WindowToken token) {
  if (windows_.count(token.id) || !model_.window_exists(token)) return;
  const WindowState snapshot = model_.window_snapshot(token);
  Applying applying(*this);

  WindowEntry& window = windows_[token.id];
  window.token = token;
  auto* widget = new WindowWidget();
  window.widget = widget;
  widget->on_close_request = [this, token] {
    if (reporting_allowed()) model_.input_close(token);
  };
  widget->on_resized = [this, token](int width, int height) {
    if (!reporting_allowed()) return;
    const GuiPoint size = model_.window_size(token);
    if (size.x != width || size.y != height) model_.input_resize(token, width, height);
  };
  watch(widget, token, {}, ControlKind::label);

  for (const ControlState& control : snapshot.controls) create_control(window, control);
  std::set<std::string> containers{""};
  for (const ControlState& control : snapshot.controls) containers.insert(control.container);
  for (const std::string& container : containers) restack(window, container);

  apply_window(window, ChangeKind::window_visible);
}

void QtView::remove_window(WindowToken token) {
  const auto it = windows_.find(token.id);
  if (it == windows_.end()) return;
  QPointer<WindowWidget> widget = it->second.widget;
  std::erase_if(targets_, [&](const auto& entry) { return entry.second.window == token; });
  windows_.erase(it);
  if (!widget) return;
  // The widget may be inside one of its own signals (a click that closed the
  // window): hide it now, delete it once control is back in the event loop.
  Applying applying(*this);
  widget->set_closing(true);
  widget->hide();
  widget->deleteLater();
}

void QtView::create_control(WindowEntry& window, const ControlState& state) {
  if (state.role.empty() || window.controls.count(state.role)) return;
  ControlEntry entry;
  entry.kind = state.kind;
  entry.container = state.container;
  entry.index = static_cast<int>(window.order.size());
  if (is_shown_kind(state.kind) && !make_control_widget(window, state, entry)) return;
  window.controls[state.role] = entry;
  window.order.push_back(state.role);
  apply_control(window, state.role, state);
}

void QtView::recreate_control(WindowEntry& window, const std::string& role, const ControlState& state) {
  ControlEntry* entry = find_control(window, role);
  if (!entry || !entry->widget) return;
  QWidget* old = entry->widget.data();
  for (QObject* inner : inner_objects(old)) targets_.erase(inner);
  targets_.erase(old);
  old->hide();
  old->deleteLater();

  ControlEntry fresh;
  fresh.kind = state.kind;
  fresh.container = state.container;
  fresh.index = entry->index;
  if (!make_control_widget(window, state, fresh)) return;
  *entry = fresh;
  apply_control(window, role, state);
  restack(window, state.container);
}

bool QtView::make_control_widget(WindowEntry& window, const ControlState& state, ControlEntry& entry) {
  QWidget* parent = container_widget(window, state.container);
  if (!parent) return false;
  QWidget* widget = state.kind == ControlKind::list_view
                        ? new ReportListWidget(model_, ControlRef{window.token, state.role}, parent)
                        : make_widget(state, parent, entry);
  entry.widget = widget;
  watch(widget, window.token, state.role, state.kind);
  for (QObject* inner : inner_objects(widget)) watch(inner, window.token, state.role, state.kind);
  connect_input(window.token, state, widget);
  return true;
}

QWidget* QtView::make_widget(const ControlState& state, QWidget* parent, ControlEntry& entry) {
  switch (state.kind) {
    case ControlKind::button: {
      auto* button = new QToolButton(parent);
      button->setToolButtonStyle(Qt::ToolButtonTextOnly);
      return button;
    }
    case ControlKind::edit_box:
      if (state.multi_line) {
        auto* edit = new QPlainTextEdit(parent);
        edit->setTabChangesFocus(true);
        return edit;
      } else {
        auto* edit = new QLineEdit(parent);
        return edit;
      }
    case ControlKind::check_box:
      return new QCheckBox(parent);
    case ControlKind::radio_button: {
      auto* radio = new QRadioButton(parent);
      radio->setAutoExclusive(false);  // the model keeps the groups
      return radio;
    }
    case ControlKind::combo_box: {
      auto* combo = new QComboBox(parent);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setMaxVisibleItems(20);
      return combo;
    }
    case ControlKind::slider:
      return new QSlider(state.geometry.height > state.geometry.width ? Qt::Vertical : Qt::Horizontal, parent);
    case ControlKind::progress_bar: {
      auto* bar = new QProgressBar(parent);
      bar->setTextVisible(false);
      return bar;
    }
    case ControlKind::label: {
      auto* label = new QLabel(parent);
      label->setTextFormat(Qt::PlainText);
      label->setWordWrap(true);
      return label;
    }
    case ControlKind::picture_box: {
      auto* box = new PictureBoxWidget(parent);
      entry.content = box;
      return box;
    }
    case ControlKind::tab_control: {
      auto* tabs = new QTabWidget(parent);
      tabs->setUsesScrollButtons(true);
      return tabs;
    }
    case ControlKind::tab_page: {
      auto* page = new QWidget();
      entry.content = page;
      if (auto* tabs = qobject_cast<QTabWidget*>(parent)) {
        tabs->addTab(page, to_widget_text(state.text));
      } else {
        page->setParent(parent);
      }
      return page;
    }
    case ControlKind::group_box: {
      auto* group = new QGroupBox(parent);
      entry.content = group;
      return group;
    }
    case ControlKind::list_view:  // made by make_control_widget, which knows the window
      return nullptr;
    case ControlKind::colour_picker:
      return new ColourSwatch(parent);
    case ControlKind::drawing_panel: {
      auto* panel = new DrawingPanelWidget(parent);
      entry.content = panel;
      return panel;
    }
    case ControlKind::animation_box: {
      auto* box = new AnimationBoxWidget(parent);
      entry.content = box;
      return box;
    }
    case ControlKind::popup_menu:
    case ControlKind::animation_template:
      break;
  }
  return nullptr;
}

void QtView::connect_combo_edit(WindowToken window, const std::string& role, QComboBox* combo) {
  QLineEdit* line = combo->lineEdit();
  if (!line || targets_.count(line)) return;
  watch(line, window, role, ControlKind::combo_box);
  const ControlRef ref{window, role};
  QObject::connect(line, &QLineEdit::textEdited, line, [=, this](const QString& text) {
    if (!reporting_allowed()) return;
    model_.input_text(ref, to_utf8(text));
    sync_control(window, role);
  });
}

void QtView::connect_input(WindowToken window, const ControlState& state, QWidget* widget) {
  const ControlRef ref{window, state.role};
  const auto allowed = [this] { return reporting_allowed(); };

  switch (state.kind) {
    case ControlKind::button:
    case ControlKind::check_box:
    case ControlKind::radio_button:
      // clicked is only emitted for the user's clicks (and keyboard presses).
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget, [=, this] {
        if (!allowed()) return;
        model_.input_click(ref);
        sync_control(window, ref.role);
      });
      break;
    case ControlKind::colour_picker:
      QObject::connect(static_cast<QAbstractButton*>(widget), &QAbstractButton::clicked, widget, [=, this] {
        if (allowed()) choose_colour(window, ref.role);
      });
      break;
    case ControlKind::edit_box:
      if (auto* line = qobject_cast<QLineEdit*>(widget)) {
        QObject::connect(line, &QLineEdit::textEdited, line, [=, this](const QString& text) {
          if (!allowed()) return;
          model_.input_text(ref, to_utf8(text));
          sync_control(window, ref.role);
        });
      } else if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) {
        QObject::connect(edit, &QPlainTextEdit::textChanged, edit, [=, this] {
          if (!allowed()) return;
          model_.input_text(ref, to_model_text(edit->toPlainText()));
          sync_control(window, ref.role);
        });
      }
      break;
    case ControlKind::combo_box: {
      auto* combo = static_cast<QComboBox*>(widget);
      QObject::connect(combo, &QComboBox::activated, combo, [=, this](int index) {
        if (!allowed()) return;
        model_.input_select(ref, index);
        sync_control(window, ref.role);
      });
      // The line edit of an editable combo comes with setEditable: see connect_combo_edit.
      watch_popup(combo->view()->window(), window, state.role);
      break;
    }
    case ControlKind::slider: {
      auto* slider = static_cast<QSlider*>(widget);
      QObject::connect(slider, &QSlider::valueChanged, slider, [=, this](int value) {
        if (!allowed()) return;
        model_.input_slider_moved(ref, value);
        // Keys and clicks on the groove end their move at once, like a release.
        if (!slider->isSliderDown()) model_.input_slider_released(ref);
        sync_control(window, ref.role);
      });
      QObject::connect(slider, &QSlider::sliderReleased, slider, [=, this] {
        if (!allowed()) return;
        model_.input_slider_released(ref);
        sync_control(window, ref.role);
      });
      break;
    }
    case ControlKind::tab_control: {
      auto* tabs = static_cast<QTabWidget*>(widget);
      QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [=, this](int index) {
        if (!allowed()) return;
        model_.input_select(ref, index);
        sync_control(window, ref.role);
      });
      break;
    }
    case ControlKind::list_view: {
      auto* list = static_cast<ReportListWidget*>(widget);
      list->on_selection_changed = [=, this] {
        if (!allowed()) return;
        model_.input_select_rows(ref, list->selected_row_indexes());
        // The model may keep another selection (a single-select list keeps one row).
        Applying applying(*this);
        list->sync_selection();
      };
      list->on_user_check = [=, this](int row, bool checked) {
        if (!allowed() || row < 0 || model_.row_checked(ref, row) == checked) return;
        model_.input_row_checked(ref, row, checked);
        Applying applying(*this);
        list->refresh_cells();
      };
      break;
    }
    default:
      break;
  }
}
