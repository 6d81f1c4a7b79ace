#pragma once
// The Qt implementations of the model's desktop services: message boxes, the
// open-file, folder and colour dialogs, balloon hints, tray icons, pop-up menus, the
// clipboard, the mouse cursor and moving or resizing a control with the mouse; the
// shell's "open" is xdg-open (platform/shell_open.h).
//
// Make it on the GUI thread. Blocking services (boxes, dialogs, menus, control
// drags) work on the GUI thread only; called elsewhere they answer as cancelled.
// The others may be called from any thread: they hand their work to the GUI thread,
// and reads (clipboard text, cursor position) from other threads give the value the
// GUI thread saw last.

#include <QObject>
#include <QPointer>

#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gui_services.h"
#include "platform/shell_open.h"

class GuiModel;
class QSystemTrayIcon;
class QtView;

class QtServices final : public QObject,
                         public MessageBoxService,
                         public FileDialogService,
                         public BalloonService,
                         public TrayService,
                         public PopupMenuService,
                         public ClipboardService,
                         public CursorService,
                         public ControlDragService {
 public:
  QtServices();
  ~QtServices() override;
  QtServices(const QtServices&) = delete;
  QtServices& operator=(const QtServices&) = delete;

  // The set of pointers for GuiModel (the shell is xdg-open).
  GuiServices services();

  // Owners of dialogs and the controls to drag are found through the view; tray
  // events go to the model. Call once both exist; nullptr detaches.
  void attach(GuiModel* model, QtView* view);

  // ---- service calls ----
  MessageAnswer show_message(const MessageRequest& request) override;
  std::vector<std::string> choose_open_files(const OpenFileRequest& request) override;
  std::string choose_folder(const FolderRequest& request) override;
  std::optional<GuiColour> choose_colour(const ColourRequest& request) override;
  void show_balloon(const BalloonRequest& request) override;
  bool tray_available() override;
  bool show_tray_icon(const TrayIconRequest& request) override;
  void remove_tray_icon(WindowToken window) override;
  int popup_menu(const PopupMenuRequest& request) override;
  std::string clipboard_text() override;
  void set_clipboard_text(const std::string& text) override;
  void clear_clipboard() override;
  void set_cursor_shape(CursorShape shape) override;
  GuiPoint cursor_position() override;
  std::optional<GuiRect> drag_control(const ControlDragRequest& request) override;

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QWidget* owner_widget(WindowToken owner) const;
  void restore_cursor();

  XdgShell shell_;
  GuiModel* model_ = nullptr;
  QtView* view_ = nullptr;

  std::map<std::uint64_t, QSystemTrayIcon*> tray_icons_;  // GUI thread

  mutable std::mutex mutex_;  // guards the values other threads read
  bool tray_available_ = false;
  std::string clipboard_;
  GuiPoint cursor_{};

  bool cursor_overridden_ = false;  // GUI thread
};
