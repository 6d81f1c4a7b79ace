// Applying the model's state to the widgets.

#include <QApplication>
#include <QGuiApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QScreen>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QSlider>
#include <QTabBar>
#include <QTabWidget>
#include <QTextCursor>
#include <QToolButton>

#include <algorithm>
#include <tuple>

#include "platform/gui/window_placement.h"
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

Qt::Alignment horizontal_alignment(TextAlign align) {
  switch (align) {
    case TextAlign::centre: return Qt::AlignHCenter;
    case TextAlign::right: return Qt::AlignRight;
    case TextAlign::left: break;
  }
  return Qt::AlignLeft;
}

QIcon make_icon(const std::vector<GuiPicture>& pictures) {
  QIcon icon;
  for (const GuiPicture& picture : pictures) {
    const QImage image = to_qimage(picture);
    if (!image.isNull()) icon.addPixmap(QPixmap::fromImage(image));
  }
  return icon;
}

// Shows `text` in a multi-line box; a text that only grew at its end is appended,
// which keeps the box scrolled to the new end as the original platform's boxes do.
void set_plain_text(QPlainTextEdit* edit, const QString& text) {
  const QString current = edit->toPlainText();
  if (current == text) return;
  if (!current.isEmpty() && text.startsWith(current)) {
    QTextCursor cursor = edit->textCursor();
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(text.mid(current.size()));
    edit->setTextCursor(cursor);
    edit->ensureCursorVisible();
    return;
  }
  edit->setPlainText(text);
}

void apply_button(QToolButton* button, const ControlState& state, const QImage& picture, bool picture_changed) {
  const QString text = to_widget_text(state.text);
  if (button->text() != text) button->setText(text);
  if (picture_changed) button->setIcon(picture.isNull() ? QIcon() : QIcon(QPixmap::fromImage(picture)));
  const bool has_icon = !button->icon().isNull();
  Qt::ToolButtonStyle style = Qt::ToolButtonTextOnly;
  if (has_icon) {
    if (text.isEmpty()) {
      style = Qt::ToolButtonIconOnly;
    } else {
      style = state.geometry.height >= 48 ? Qt::ToolButtonTextUnderIcon : Qt::ToolButtonTextBesideIcon;
    }
  }
  if (button->toolButtonStyle() != style) button->setToolButtonStyle(style);
  if (has_icon) {
    // The picture at its own size, made smaller when the button has no room for it.
    const QSize own = button->icon().availableSizes().value(0, QSize(32, 32));
    const int text_height = style == Qt::ToolButtonTextUnderIcon ? button->fontMetrics().height() + 4 : 0;
    const QSize room(std::max(1, state.geometry.width - 8), std::max(1, state.geometry.height - 8 - text_height));
    const QSize size = own.width() <= room.width() && own.height() <= room.height()
                           ? own
                           : own.scaled(room, Qt::KeepAspectRatio);
    if (button->iconSize() != size) button->setIconSize(size);
  }
}

void apply_line_edit(QLineEdit* line, const ControlState& state) {
  const QString text = to_widget_text(state.text);
  if (line->text() != text) line->setText(text);
  if (line->isReadOnly() != state.read_only) line->setReadOnly(state.read_only);
  const QLineEdit::EchoMode echo = state.password ? QLineEdit::Password : QLineEdit::Normal;
  if (line->echoMode() != echo) line->setEchoMode(echo);
  // What the user may type; a program write (setText) is not validated. The length is
  // not QLineEdit's maximum length, which would cut the program's longer texts.
  QString pattern;
  if (state.digits_only || state.max_length > 0) {
    pattern = (state.digits_only ? QStringLiteral("[0-9]") : QStringLiteral(".")) +
              (state.max_length > 0 ? QStringLiteral("{0,%1}").arg(state.max_length) : QStringLiteral("*"));
  }
  const auto* current = qobject_cast<const QRegularExpressionValidator*>(line->validator());
  const QString current_pattern = current ? current->regularExpression().pattern() : QString();
  if (pattern != current_pattern) {
    const QValidator* old = line->validator();
    line->setValidator(pattern.isEmpty() ? nullptr
                                         : new QRegularExpressionValidator(QRegularExpression(pattern), line));
    delete old;
  }
  const Qt::Alignment align = horizontal_alignment(state.align) | Qt::AlignVCenter;
  if (line->alignment() != align) line->setAlignment(align);
}

void apply_plain_edit(QPlainTextEdit* edit, const ControlState& state) {
  set_plain_text(edit, to_widget_text(state.text));
  if (edit->isReadOnly() != state.read_only) edit->setReadOnly(state.read_only);
  const auto wrap = state.horizontal_scroll_bar ? QPlainTextEdit::NoWrap : QPlainTextEdit::WidgetWidth;
  if (edit->lineWrapMode() != wrap) edit->setLineWrapMode(wrap);
  edit->setHorizontalScrollBarPolicy(state.horizontal_scroll_bar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  edit->setVerticalScrollBarPolicy(state.vertical_scroll_bar ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
  QTextOption option = edit->document()->defaultTextOption();
  const Qt::Alignment align = horizontal_alignment(state.align);
  if (option.alignment() != align) {
    option.setAlignment(align);
    edit->document()->setDefaultTextOption(option);
  }
}

void apply_combo(QComboBox* combo, const ControlState& state) {
  QStringList items;
  for (const std::string& item : state.items) items << to_qstring(item);
  bool same = combo->count() == items.size();
  for (int i = 0; same && i < combo->count(); ++i) same = combo->itemText(i) == items[i];
  if (!same) {
    combo->clear();
    combo->addItems(items);
  }
  if (combo->currentIndex() != state.selected) combo->setCurrentIndex(state.selected);
  if (combo->isEditable()) {
    const QString text = to_qstring(state.text);
    if (combo->currentText() != text) combo->setEditText(text);
  }
}

void apply_progress(QProgressBar* bar, const ControlState& state) {
  // An empty range would make Qt show a busy bar; the original shows an empty one.
  const int maximum = state.maximum > state.minimum ? state.maximum : state.minimum + 1;
  if (bar->minimum() != state.minimum || bar->maximum() != maximum) bar->setRange(state.minimum, maximum);
  if (bar->value() != state.value) bar->setValue(state.value);
}

}  // namespace

// ---------------------------------------------------------------- windows

void QtView::apply_window(WindowEntry& window, ChangeKind what) {
  WindowWidget* widget = window.widget.data();
  if (!widget) return;
  const WindowState state = model_.window_state(window.token);
  if (!state.token) return;  // gone meanwhile; its destroyed notice follows
  Applying applying(*this);

  const QString title = to_qstring(state.title);
  if (widget->windowTitle() != title) widget->setWindowTitle(title);
  if (state.resizable) {
    widget->setMinimumSize(0, 0);
    widget->setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (widget->size() != QSize(state.width, state.height)) widget->resize(state.width, state.height);
  } else if (widget->minimumSize() != QSize(state.width, state.height) ||
             widget->maximumSize() != QSize(state.width, state.height)) {
    widget->setFixedSize(state.width, state.height);
  }
  if (!(state.icons == window.icons)) {
    window.icons = state.icons;
    widget->setWindowIcon(make_icon(state.icons));
  }
  if (widget->testAttribute(Qt::WA_Disabled) == state.enabled) widget->setEnabled(state.enabled);

  if (state.visible && !widget->isVisible()) {
    show_window(window, state);
  } else if (!state.visible && widget->isVisible()) {
    widget->hide();
  }

  if (what == ChangeKind::window_focus && !state.focus.empty()) {
    if (QWidget* focus = control_widget({window.token, state.focus})) focus->setFocus(Qt::OtherFocusReason);
  }
}

void QtView::show_window(WindowEntry& window, const WindowState& state) {
  WindowWidget* widget = window.widget.data();
  if (!window.shown_before) {
    window.shown_before = true;
    // An owned window stays above its owner. Where a window opens: window_placement.h.
    QWidget* owner = state.owner ? window_widget(state.owner) : nullptr;
    if (owner && widget->parentWidget() != owner) widget->setParent(owner, Qt::Dialog);
    QScreen* screen = owner && owner->screen() ? owner->screen() : widget->screen();
    const QRect screen_area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    std::optional<GuiRect> owner_frame;
    QSize frame(state.width, state.height);
    if (owner) {
      owner_frame = to_gui_rect(owner->frameGeometry());
      // The window's own frame is not known before it shows: the owner's frame margins
      // stand in for its decorations.
      frame += owner->frameGeometry().size() - owner->size();
    }
    const GuiPoint at = window_opening_position(state, owner_frame, frame.width(), frame.height(),
                                                to_gui_rect(screen_area));
    widget->move(at.x, at.y);
  }
  const Qt::WindowModality modality =
      state.modal ? (state.owner ? Qt::WindowModal : Qt::ApplicationModal) : Qt::NonModal;
  if (widget->windowModality() != modality) widget->setWindowModality(modality);
  widget->show();
  // Qt's offscreen platform (tests, screenshots) has no stacking to change.
  if (QGuiApplication::platformName() != QLatin1String("offscreen")) widget->raise();
  widget->activateWindow();
}

// ---------------------------------------------------------------- controls

void QtView::apply_change(WindowEntry& window, const GuiChange& change) {
  switch (change.kind) {
    case ChangeKind::window_title:
    case ChangeKind::window_size:
    case ChangeKind::window_visible:
    case ChangeKind::window_enabled:
    case ChangeKind::window_icon:
    case ChangeKind::window_focus:
      apply_window(window, change.kind);
      return;
    case ChangeKind::control_added: {
      if (window.controls.count(change.role)) return;
      const ControlState state = model_.control_state({window.token, change.role});
      if (state.role.empty()) return;
      create_control(window, state);
      restack(window, state.container);
      return;
    }
    default:
      break;
  }

  ControlEntry* entry = find_control(window, change.role);
  if (!entry || !entry->widget) return;
  const ControlRef ref{window.token, change.role};

  if (auto* list = dynamic_cast<ReportListWidget*>(entry->widget.data())) {
    Applying applying(*this);
    const QSignalBlocker blocker(list);
    switch (change.kind) {
      case ChangeKind::rows:
        list->sync_rows();
        return;
      case ChangeKind::cell:
        list->refresh_cells();
        return;
      case ChangeKind::row_state:
        list->sync_selection();
        list->refresh_cells();
        return;
      case ChangeKind::selection:
        list->sync_selection();
        return;
      case ChangeKind::scroll:
        list->scroll_to_row_id(change.row_id);
        return;
      default:
        break;
    }
  }
  if (auto* box = dynamic_cast<AnimationBoxWidget*>(entry->widget.data());
      box && change.kind == ChangeKind::animation_objects) {
    box->set_objects(model_.animation_objects(ref));
    return;
  }

  // A list's rows are read by the list itself, by id.
  const ControlState state = model_.control_state_without_rows(ref);
  if (state.role.empty()) return;
  if (change.kind == ChangeKind::text_selection) {
    Applying applying(*this);
    apply_text_selection(*entry, state);
    return;
  }
  apply_control(window, change.role, state);
  if (change.kind == ChangeKind::z_order) restack(window, entry->container);
}

void QtView::apply_control(WindowEntry& window, const std::string& role, const ControlState& state) {
  ControlEntry* entry = find_control(window, role);
  if (!entry || !entry->widget) return;
  QWidget* widget = entry->widget.data();
  if (state.kind == ControlKind::edit_box && state.multi_line != (qobject_cast<QPlainTextEdit*>(widget) != nullptr)) {
    recreate_control(window, role, state);
    return;
  }

  Applying applying(*this);
  const QSignalBlocker blocker(widget);
  entry->z_order = state.z_order;

  if (state.kind != ControlKind::tab_page) {
    const QRect geometry(state.geometry.x, state.geometry.y, state.geometry.width, state.geometry.height);
    if (widget->geometry() != geometry) widget->setGeometry(geometry);
    if (widget->isHidden() == state.visible) widget->setVisible(state.visible);
  }
  if (widget->testAttribute(Qt::WA_Disabled) == state.enabled) widget->setEnabled(state.enabled);
  apply_look(*entry, state);

  const bool picture_changed = !(state.picture == entry->picture);
  entry->picture = state.picture;

  switch (state.kind) {
    case ControlKind::button:
      apply_button(static_cast<QToolButton*>(widget), state, picture_changed ? to_qimage(state.picture) : QImage(),
                   picture_changed);
      break;
    case ControlKind::edit_box:
      if (auto* line = qobject_cast<QLineEdit*>(widget)) apply_line_edit(line, state);
      if (auto* edit = qobject_cast<QPlainTextEdit*>(widget)) apply_plain_edit(edit, state);
      break;
    case ControlKind::check_box:
    case ControlKind::radio_button: {
      auto* button = static_cast<QAbstractButton*>(widget);
      const QString text = to_widget_text(state.text);
      if (button->text() != text) button->setText(text);
      if (button->isChecked() != state.checked) button->setChecked(state.checked);
      break;
    }
    case ControlKind::combo_box: {
      auto* combo = static_cast<QComboBox*>(widget);
      if (combo->isEditable() != state.editable) {
        combo->setEditable(state.editable);
        if (state.editable) connect_combo_edit(window.token, role, combo);
      }
      apply_combo(combo, state);
      break;
    }
    case ControlKind::slider: {
      auto* slider = static_cast<QSlider*>(widget);
      if (slider->minimum() != state.minimum || slider->maximum() != state.maximum) {
        slider->setRange(state.minimum, state.maximum);
      }
      if (slider->value() != state.value) slider->setValue(state.value);
      break;
    }
    case ControlKind::progress_bar:
      apply_progress(static_cast<QProgressBar*>(widget), state);
      break;
    case ControlKind::label: {
      auto* label = static_cast<QLabel*>(widget);
      const QString text = to_widget_text(state.text);
      if (label->text() != text) label->setText(text);
      const Qt::Alignment align = horizontal_alignment(state.align) | Qt::AlignTop;
      if (label->alignment() != align) label->setAlignment(align);
      break;
    }
    case ControlKind::picture_box:
      static_cast<PictureBoxWidget*>(widget)->show_picture(state.picture);
      break;
    case ControlKind::tab_control: {
      auto* tabs = static_cast<QTabWidget*>(widget);
      if (tabs->tabBar()->isHidden() == state.tab_headers_visible) {
        tabs->tabBar()->setVisible(state.tab_headers_visible);
        // The pages take the room of the headers (QTabWidget lays out on resize).
        QResizeEvent relayout(tabs->size(), tabs->size());
        QCoreApplication::sendEvent(tabs, &relayout);
      }
      if (state.selected >= 0 && state.selected < tabs->count() && tabs->currentIndex() != state.selected) {
        tabs->setCurrentIndex(state.selected);
      }
      break;
    }
    case ControlKind::tab_page: {
      ControlEntry* container = find_control(window, state.container);
      if (auto* tabs = container ? qobject_cast<QTabWidget*>(container->widget.data()) : nullptr) {
        const QSignalBlocker tabs_blocker(tabs);
        const int index = tabs->indexOf(widget);
        const QString text = to_widget_text(state.text);
        if (index >= 0 && tabs->tabText(index) != text) tabs->setTabText(index, text);
      }
      break;
    }
    case ControlKind::group_box: {
      auto* group = static_cast<QGroupBox*>(widget);
      const QString text = to_widget_text(state.text);
      if (group->title() != text) group->setTitle(text);
      break;
    }
    case ControlKind::list_view:
      apply_list(window, *entry, ControlRef{window.token, role}, state);
      break;
    case ControlKind::colour_picker:
      static_cast<ColourSwatch*>(widget)->set_colour(to_qcolor(state.colour.value_or(0)));
      break;
    case ControlKind::drawing_panel: {
      std::optional<QColor> text_colour;
      std::optional<QColor> background;
      if (state.colour) text_colour = to_qcolor(*state.colour);
      if (state.background_colour) background = to_qcolor(*state.background_colour);
      static_cast<DrawingPanelWidget*>(widget)->set_drawing(to_widget_text(state.text), text_colour, background,
                                                            state.transparent);
      break;
    }
    case ControlKind::animation_box: {
      auto* box = static_cast<AnimationBoxWidget*>(widget);
      box->set_background(state.picture);
      box->set_objects(state.objects);
      break;
    }
    case ControlKind::popup_menu:
    case ControlKind::animation_template:
      break;
  }
}

void QtView::apply_list(WindowEntry&, ControlEntry& entry, const ControlRef&, const ControlState& state) {
  auto* list = static_cast<ReportListWidget*>(entry.widget.data());
  list->set_columns(state.columns);
  list->set_check_boxes(state.check_boxes);
  list->set_multi_select(state.multi_select);
  list->sync_rows();
  if (!entry.scrolled_once) {
    // Later scrolling comes with scroll notices naming the row to show.
    entry.scrolled_once = true;
    if (state.top_row > 0) list->scroll_to_top_row(state.top_row);
  }
}

void QtView::apply_look(ControlEntry& entry, const ControlState& state) {
  QWidget* widget = entry.widget.data();
  if (!(state.font == entry.font)) {
    entry.font = state.font;
    widget->setFont(to_qfont(state.font));
  }
  // The drawing panel paints its own colours; the others take them from the palette.
  if (state.kind != ControlKind::drawing_panel &&
      (!entry.palette_set || state.colour != entry.colour || state.background_colour != entry.background)) {
    entry.palette_set = true;
    entry.colour = state.colour;
    entry.background = state.background_colour;
    QPalette palette;
    if (state.colour) {
      const QColor colour = to_qcolor(*state.colour);
      palette.setColor(QPalette::WindowText, colour);
      palette.setColor(QPalette::Text, colour);
      palette.setColor(QPalette::ButtonText, colour);
    }
    if (state.background_colour) {
      const QColor colour = to_qcolor(*state.background_colour);
      palette.setColor(QPalette::Window, colour);
      palette.setColor(QPalette::Base, colour);
      palette.setColor(QPalette::Button, colour);
    }
    widget->setPalette(palette);
  }
  const bool fill = state.background_colour.has_value() && !state.transparent &&
                    state.kind != ControlKind::drawing_panel && state.kind != ControlKind::animation_box;
  if (widget->autoFillBackground() != fill) widget->setAutoFillBackground(fill);

  if (state.frame_colour) {
    if (!entry.frame) entry.frame = new FrameOverlay(widget);
    entry.frame->set_colour(to_qcolor(*state.frame_colour));
    entry.frame->show();
    entry.frame->raise();
  } else if (entry.frame) {
    entry.frame->hide();
  }

  entry.drop_target = state.drop_target;
  QWidget* drop_widget = widget;
  if (auto* area = qobject_cast<QAbstractScrollArea*>(widget)) drop_widget = area->viewport();
  if (drop_widget->acceptDrops() != state.drop_target) drop_widget->setAcceptDrops(state.drop_target);
}

void QtView::apply_text_selection(ControlEntry& entry, const ControlState& state) {
  const int start = widget_text_position(state.text, state.selection_start);
  const int end = widget_text_position(state.text, state.selection_start + state.selection_length);
  if (auto* line = qobject_cast<QLineEdit*>(entry.widget.data())) {
    line->setSelection(start, end - start);
  } else if (auto* edit = qobject_cast<QPlainTextEdit*>(entry.widget.data())) {
    QTextCursor cursor = edit->textCursor();
    cursor.setPosition(start);
    cursor.setPosition(end, QTextCursor::KeepAnchor);
    edit->setTextCursor(cursor);
  }
}

void QtView::restack(WindowEntry& window, const std::string& container) {
  std::vector<std::tuple<int, int, QWidget*>> siblings;
  for (const auto& [role, entry] : window.controls) {
    if (entry.container != container || !entry.widget || entry.kind == ControlKind::tab_page) continue;
    siblings.emplace_back(entry.z_order, entry.index, entry.widget.data());
  }
  std::sort(siblings.begin(), siblings.end(),
            [](const auto& a, const auto& b) { return std::tie(std::get<0>(a), std::get<1>(a)) < std::tie(std::get<0>(b), std::get<1>(b)); });
  for (const auto& sibling : siblings) std::get<2>(sibling)->raise();
  if (ControlEntry* holder = find_control(window, container); holder && holder->frame) holder->frame->raise();
}

void QtView::sync_control(WindowToken token, const std::string& role) {
  WindowEntry* window = find_window(token);
  if (!window || !find_control(*window, role)) return;
  const ControlState state = model_.control_state_without_rows({token, role});
  if (state.role.empty()) return;
  apply_control(*window, role, state);
}
