// The blocking services: message boxes, file, folder and colour dialogs, pop-up
// menus. Each runs Qt's own nested loop, so timers and posted tasks go on.

#include <QAction>
#include <QColorDialog>
#include <QDir>
#include <QEventLoop>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QWindow>
#include <chrono>

#include "platform/qt/qt_conversions.h"
#include "platform/qt/qt_file_filter.h"
#include "platform/qt/qt_gui_thread.h"
#include "platform/qt/qt_services.h"

namespace {

QMessageBox::Icon message_icon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::information: return QMessageBox::Information;
    case MessageIcon::question: return QMessageBox::Question;
    case MessageIcon::warning: return QMessageBox::Warning;
    case MessageIcon::error: return QMessageBox::Critical;
    case MessageIcon::none: break;
  }
  return QMessageBox::NoIcon;
}

// The folder the dialog opens in, when it exists.
QString existing_folder(const std::string& folder) {
  if (folder.empty()) return {};
  const QString path = to_qstring(folder);
  return QFileInfo(path).isDir() ? path : QString();
}

std::string without_trailing_slash(QString path) {
  while (path.size() > 1 && path.endsWith(QLatin1Char('/'))) path.chop(1);
  return to_utf8(path);
}

// When the window with the keyboard focus is hidden (a click on the tray icon hides
// the main window), the toolkit reports the application inactive only a moment
// later, once it is sure the focus does not come back, and that report closes every
// open pop-up menu. A menu opened in between (a right click on the icon right after
// the click that hid the window, or both clicks taken from the queue together while
// the program was busy) would close at once. Until the report the hidden window still
// counts as the focus window: this waits for the focus window to change. The limit
// only keeps a platform that never reports from holding the menu back for good.
void wait_for_focus_of_hidden_window_to_settle() {
  const QWindow* focus = QGuiApplication::focusWindow();
  if (!focus || focus->isVisible()) return;
  QEventLoop loop;
  QObject::connect(qApp, &QGuiApplication::focusWindowChanged, &loop, &QEventLoop::quit);
  QTimer::singleShot(std::chrono::seconds(1), &loop, &QEventLoop::quit);
  loop.exec();
}

}  // namespace

MessageAnswer QtServices::show_message(const MessageRequest& request) {
  const bool yes_no = request.buttons == MessageButtons::yes_no;
  if (!on_gui_thread()) return yes_no ? MessageAnswer::no : MessageAnswer::ok;

  QWidget* owner = owner_widget(request.owner);
  QMessageBox box(message_icon(request.icon), to_qstring(request.title), to_widget_text(request.text),
                  QMessageBox::NoButton, owner);
  box.setTextFormat(Qt::PlainText);
  box.setWindowModality(owner ? Qt::WindowModal : Qt::ApplicationModal);
  // The buttons of the original platform's Chinese message boxes.
  QPushButton* yes = nullptr;
  if (yes_no) {
    yes = box.addButton(QStringLiteral("是(&Y)"), QMessageBox::YesRole);
    QPushButton* no = box.addButton(QStringLiteral("否(&N)"), QMessageBox::NoRole);
    box.setDefaultButton(yes);
    box.setEscapeButton(no);
  } else {
    QPushButton* ok = box.addButton(QStringLiteral("确定"), QMessageBox::AcceptRole);
    box.setDefaultButton(ok);
    box.setEscapeButton(ok);
  }
  box.exec();
  if (!yes_no) return MessageAnswer::ok;
  return box.clickedButton() == yes ? MessageAnswer::yes : MessageAnswer::no;
}

std::vector<std::string> QtServices::choose_open_files(const OpenFileRequest& request) {
  if (!on_gui_thread()) return {};
  QFileDialog dialog(owner_widget(request.owner), to_qstring(request.title), existing_folder(request.initial_folder));
  // Qt's own dialog: its name filters ignore letter case, as the filters require.
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(request.multi_select ? QFileDialog::ExistingFiles : QFileDialog::ExistingFile);
  const QStringList filters = qt_name_filters(request.filter);
  if (!filters.isEmpty()) dialog.setNameFilters(filters);
  dialog.setFilter(dialog.filter() & ~QDir::CaseSensitive);
  if (dialog.exec() != QDialog::Accepted) return {};
  std::vector<std::string> files;
  for (const QString& file : dialog.selectedFiles()) files.push_back(to_utf8(file));
  if (!request.multi_select && files.size() > 1) files.resize(1);
  return files;
}

std::string QtServices::choose_folder(const FolderRequest& request) {
  if (!on_gui_thread()) return {};
  QWidget* owner = owner_widget(request.owner);
  QFileDialog dialog(owner, to_qstring(request.title), existing_folder(request.initial_folder));
  dialog.setOption(QFileDialog::DontUseNativeDialog);
  dialog.setOption(QFileDialog::ShowDirsOnly);
  dialog.setFileMode(QFileDialog::Directory);
  int result = QDialog::Rejected;
  if (owner) {
    result = dialog.exec();
  } else {
    // Without an owner the other windows stay usable while the dialog is open.
    dialog.setWindowModality(Qt::NonModal);
    QEventLoop loop;
    QObject::connect(&dialog, &QDialog::finished, &loop, [&](int code) {
      result = code;
      loop.quit();
    });
    dialog.show();
    loop.exec();
  }
  if (result != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
  return without_trailing_slash(dialog.selectedFiles().first());
}

std::optional<GuiColour> QtServices::choose_colour(const ColourRequest& request) {
  if (!on_gui_thread()) return std::nullopt;
  const QColor chosen = QColorDialog::getColor(to_qcolor(request.initial), owner_widget(request.owner));
  if (!chosen.isValid()) return std::nullopt;
  return to_gui_colour(chosen);
}

int QtServices::popup_menu(const PopupMenuRequest& request) {
  if (!on_gui_thread()) return -1;
  QMenu menu;
  std::vector<std::pair<QAction*, int>> actions;
  for (int i = 0; i < static_cast<int>(request.items.size()); ++i) {
    const MenuItem& item = request.items[i];
    if (item.separator) {
      menu.addSeparator();
      continue;
    }
    QAction* action = menu.addAction(to_widget_text(item.text));
    action->setEnabled(item.enabled);
    if (item.checked) {
      action->setCheckable(true);
      action->setChecked(true);
    }
    actions.emplace_back(action, i);
  }
  wait_for_focus_of_hidden_window_to_settle();
  QAction* chosen = menu.exec(QPoint(request.at.x, request.at.y));
  for (const auto& [action, index] : actions) {
    if (action == chosen) return index;
  }
  return -1;
}
