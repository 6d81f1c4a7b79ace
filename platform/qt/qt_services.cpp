// The non-blocking services: set-up, balloon hints, tray icons, clipboard, cursor.

#include "platform/qt/qt_services.h"

#include <QClipboard>
#include <QCursor>
#include <QEvent>
#include <QGuiApplication>
#include <QIcon>
#include <QSystemTrayIcon>
#include <QToolTip>
#include <QWidget>

#include "platform/gui/gui_model.h"
#include "platform/qt/qt_conversions.h"
#include "platform/qt/qt_gui_thread.h"
#include "platform/qt/qt_view.h"

QtServices::QtServices() {
  tray_available_ = QSystemTrayIcon::isSystemTrayAvailable();
  clipboard_ = to_utf8(QGuiApplication::clipboard()->text());
  // Other threads read the clipboard as the GUI thread last saw it.
  QObject::connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, [this] {
    const std::string text = to_utf8(QGuiApplication::clipboard()->text());
    std::lock_guard lock(mutex_);
    clipboard_ = text;
  });
}

QtServices::~QtServices() {
  restore_cursor();
  for (auto& [window, icon] : tray_icons_) delete icon;
}

GuiServices QtServices::services() {
  GuiServices s;
  s.message_boxes = this;
  s.file_dialogs = this;
  s.balloons = this;
  s.tray = this;
  s.popup_menus = this;
  s.clipboard = this;
  s.shell = &shell_;
  s.cursor = this;
  s.control_drag = this;
  return s;
}

void QtServices::attach(GuiModel* model, QtView* view) {
  model_ = model;
  view_ = view;
}

QWidget* QtServices::owner_widget(WindowToken owner) const {
  return owner && view_ ? view_->window_widget(owner) : nullptr;
}

// ---------------------------------------------------------------- balloons

void QtServices::show_balloon(const BalloonRequest& request) {
  QString html;
  if (!request.title.empty()) html = QStringLiteral("<b>%1</b><br>").arg(to_qstring(request.title).toHtmlEscaped());
  html += to_widget_text(request.text).toHtmlEscaped().replace(QLatin1Char('\n'), QStringLiteral("<br>"));
  const QPoint at(request.at.x, request.at.y);
  run_on_gui_thread(this, [html, at] { QToolTip::showText(at, html); });
}

// ---------------------------------------------------------------- tray

bool QtServices::tray_available() {
  if (on_gui_thread()) {
    const bool available = QSystemTrayIcon::isSystemTrayAvailable();
    std::lock_guard lock(mutex_);
    tray_available_ = available;
    return available;
  }
  std::lock_guard lock(mutex_);
  return tray_available_;
}

bool QtServices::show_tray_icon(const TrayIconRequest& request) {
  // Without a notification area nothing is shown; the window simply stays.
  if (!tray_available()) return false;
  run_on_gui_thread(this, [this, request] {
    QSystemTrayIcon*& icon = tray_icons_[request.window.id];
    if (!icon) {
      icon = new QSystemTrayIcon(this);
      const WindowToken window = request.window;
      QObject::connect(icon, &QSystemTrayIcon::activated, icon, [this, window](QSystemTrayIcon::ActivationReason reason) {
        int kind = 0;
        switch (reason) {
          case QSystemTrayIcon::Trigger: kind = 1; break;
          case QSystemTrayIcon::DoubleClick: kind = 2; break;
          case QSystemTrayIcon::Context: kind = 3; break;
          default: return;
        }
        // The signal comes from inside the icon's own mouse handling, and the event's
        // handlers may remove the icon (the tray menu's quit destroys the window, and
        // with it the icon and the widget whose handler is still running): they run
        // once that handling has returned.
        QMetaObject::invokeMethod(
            this, [this, window, kind] {
              if (model_) model_->input_tray(window, kind);
            },
            Qt::QueuedConnection);
      });
    }
    QIcon qicon;
    for (const GuiPicture& picture : request.icons) {
      const QImage image = to_qimage(picture);
      if (!image.isNull()) qicon.addPixmap(QPixmap::fromImage(image));
    }
    icon->setIcon(qicon);
    icon->setToolTip(to_qstring(request.tip));
    icon->show();
  });
  return true;
}

void QtServices::remove_tray_icon(WindowToken window) {
  run_on_gui_thread(this, [this, window] {
    const auto it = tray_icons_.find(window.id);
    if (it == tray_icons_.end()) return;
    it->second->hide();
    it->second->deleteLater();
    tray_icons_.erase(it);
  });
}

// ---------------------------------------------------------------- clipboard

std::string QtServices::clipboard_text() {
  if (on_gui_thread()) {
    const std::string text = to_utf8(QGuiApplication::clipboard()->text());
    std::lock_guard lock(mutex_);
    clipboard_ = text;
    return text;
  }
  std::lock_guard lock(mutex_);
  return clipboard_;
}

void QtServices::set_clipboard_text(const std::string& text) {
  {
    std::lock_guard lock(mutex_);
    clipboard_ = text;
  }
  run_on_gui_thread(this, [text] { QGuiApplication::clipboard()->setText(to_qstring(text)); });
}

void QtServices::clear_clipboard() {
  {
    std::lock_guard lock(mutex_);
    clipboard_.clear();
  }
  run_on_gui_thread(this, [] { QGuiApplication::clipboard()->clear(); });
}

// ---------------------------------------------------------------- cursor

void QtServices::set_cursor_shape(CursorShape shape) {
  run_on_gui_thread(this, [this, shape] {
    if (shape == CursorShape::normal) {
      restore_cursor();
      return;
    }
    if (cursor_overridden_) {
      QGuiApplication::changeOverrideCursor(QCursor(Qt::ForbiddenCursor));
      return;
    }
    QGuiApplication::setOverrideCursor(QCursor(Qt::ForbiddenCursor));
    cursor_overridden_ = true;
    // As on the original platform, the shape lasts until the mouse moves again.
    qApp->installEventFilter(this);
  });
}

void QtServices::restore_cursor() {
  if (!cursor_overridden_) return;
  cursor_overridden_ = false;
  qApp->removeEventFilter(this);
  QGuiApplication::restoreOverrideCursor();
}

bool QtServices::eventFilter(QObject*, QEvent* event) {
  // Runs before the widgets see the move, so a handler of this move may set the
  // shape again.
  if (event->type() == QEvent::MouseMove) restore_cursor();
  return false;
}

GuiPoint QtServices::cursor_position() {
  if (on_gui_thread()) {
    const QPoint pos = QCursor::pos();
    std::lock_guard lock(mutex_);
    cursor_ = GuiPoint{pos.x(), pos.y()};
    return cursor_;
  }
  std::lock_guard lock(mutex_);
  return cursor_;
}
