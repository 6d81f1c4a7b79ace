#pragma once
// The desktop services the windows use besides their controls: message boxes, file,
// folder and colour dialogs, balloon hints, the tray icon, pop-up menus, the
// clipboard, the shell's "open", the mouse cursor, and moving or resizing a control
// with the mouse.
//
// Each service is an interface. The Qt implementations are in platform/qt; the
// headless ones (platform/gui/headless_services.h) record every request and answer
// from scripts; the real shell "open" (xdg-open) is platform/shell_open.h.
//
// Blocking services (message boxes, dialogs, pop-up menus, dragging a control) are
// called on the UI thread and return when the user is done; the Qt ones run the
// toolkit's own nested loop meanwhile, so timers and posted tasks keep running.
// The others may be called from any thread.
//
// Texts are UTF-8. Screen positions are in screen pixels.

#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gui_types.h"

// ---- message boxes ----

enum class MessageButtons { ok, yes_no };
enum class MessageIcon { none, information, question, warning, error };
enum class MessageAnswer { ok, yes, no };

struct MessageRequest {
  WindowToken owner;   // the window the box is modal to; none: modal to the whole program
  std::string title;
  std::string text;
  MessageButtons buttons = MessageButtons::ok;
  MessageIcon icon = MessageIcon::none;
  friend bool operator==(const MessageRequest&, const MessageRequest&) = default;
};

class MessageBoxService {
 public:
  virtual ~MessageBoxService() = default;
  // Shows the box modally and returns the button pressed. A Yes/No box closed
  // without a choice answers no; an OK box always answers ok.
  virtual MessageAnswer show_message(const MessageRequest& request) = 0;
};

// ---- file, folder and colour dialogs ----

struct OpenFileRequest {
  WindowToken owner;
  std::string title;
  // Pairs of display name and pattern list, every part separated by "|":
  // "视频文件|*.mp4;*.wmv|所有格式|*.*". Patterns within a list are separated by ";"
  // and match file names without regard to letter case (platform/gui/file_filter.h).
  // The first pair is shown first.
  std::string filter;
  std::string initial_folder;  // "" or a missing folder: the dialog's own choice
  bool multi_select = true;
  friend bool operator==(const OpenFileRequest&, const OpenFileRequest&) = default;
};

struct FolderRequest {
  WindowToken owner;           // none: the dialog has no owner, other windows stay usable
  std::string title;
  std::string initial_folder;  // "" or a missing folder: the dialog's own choice
  friend bool operator==(const FolderRequest&, const FolderRequest&) = default;
};

struct ColourRequest {
  WindowToken owner;
  GuiColour initial = 0;
  friend bool operator==(const ColourRequest&, const ColourRequest&) = default;
};

class FileDialogService {
 public:
  virtual ~FileDialogService() = default;
  // The full paths of the chosen files, in the order the dialog lists them; empty
  // when the user cancels. Without multi_select at most one path.
  virtual std::vector<std::string> choose_open_files(const OpenFileRequest& request) = 0;
  // The chosen folder's full path without a trailing "/" (except "/" itself); empty
  // when the user cancels.
  virtual std::string choose_folder(const FolderRequest& request) = 0;
  // The chosen colour; nothing when the user cancels.
  virtual std::optional<GuiColour> choose_colour(const ColourRequest& request) = 0;
};

// ---- balloon hints, tray icon, pop-up menus ----

struct BalloonRequest {
  WindowToken owner;
  std::string title;   // may be empty
  std::string text;    // lines separated by "\r\n"
  GuiPoint at;         // screen position (usually the cursor's)
  friend bool operator==(const BalloonRequest&, const BalloonRequest&) = default;
};

class BalloonService {
 public:
  virtual ~BalloonService() = default;
  // Shows a balloon tip at the position; it goes away by itself or on the next one.
  virtual void show_balloon(const BalloonRequest& request) = 0;
};

struct TrayIconRequest {
  WindowToken window;   // tray events go to this window (EventKind::tray)
  std::vector<GuiPicture> icons;
  std::string tip;
  friend bool operator==(const TrayIconRequest&, const TrayIconRequest&) = default;
};

class TrayService {
 public:
  virtual ~TrayService() = default;
  // True when the desktop has a notification area.
  virtual bool tray_available() = 0;
  // Puts the icon into the notification area (or updates it); false when there is
  // none. Its events reach the model as GuiModel::input_tray(window, kind).
  virtual bool show_tray_icon(const TrayIconRequest& request) = 0;
  // Removes the window's icon; nothing when it has none.
  virtual void remove_tray_icon(WindowToken window) = 0;
};

struct PopupMenuRequest {
  ControlRef menu;               // the popup_menu control
  std::vector<MenuItem> items;
  GuiPoint at;                   // screen position
  friend bool operator==(const PopupMenuRequest&, const PopupMenuRequest&) = default;
};

class PopupMenuService {
 public:
  virtual ~PopupMenuService() = default;
  // Shows the menu until the user chooses an item or dismisses it; returns the index
  // of the chosen item (never a separator or a disabled item), -1 when dismissed.
  virtual int popup_menu(const PopupMenuRequest& request) = 0;
};

// ---- clipboard, shell, cursor ----

class ClipboardService {
 public:
  virtual ~ClipboardService() = default;
  // The clipboard's text; "" when it holds none.
  virtual std::string clipboard_text() = 0;
  virtual void set_clipboard_text(const std::string& text) = 0;
  virtual void clear_clipboard() = 0;
};

class ShellService {
 public:
  virtual ~ShellService() = default;
  // Opens a file, a folder or a web address with the desktop's default program, as
  // the shell's "open" does; does not wait. False when it could not be started.
  virtual bool shell_open(const std::string& target) = 0;
};

enum class CursorShape { normal, no_drop };

class CursorService {
 public:
  virtual ~CursorService() = default;
  // Sets the mouse cursor's shape until the next mouse move or the next call.
  virtual void set_cursor_shape(CursorShape shape) = 0;
  // The cursor's screen position.
  virtual GuiPoint cursor_position() = 0;
};

// ---- moving or resizing a control with the mouse ----

// What the mouse drag changes: the whole control (move) or one edge or corner.
enum class DragMode { move, left, right, top, top_left, top_right, bottom, bottom_left, bottom_right };

struct ControlDragRequest {
  ControlRef control;
  DragMode mode = DragMode::move;
  GuiRect start;   // the control's geometry when the drag began
  friend bool operator==(const ControlDragRequest&, const ControlDragRequest&) = default;
};

class ControlDragService {
 public:
  virtual ~ControlDragService() = default;
  // Lets the user move or resize the control with the mouse while the left button
  // is held (the button is down when this is called); returns the control's new
  // geometry when the button is released, or nothing when no drag took place. The
  // model applies the result (GuiModel::drag_control).
  virtual std::optional<GuiRect> drag_control(const ControlDragRequest& request) = 0;
};

// The set of services a model uses. All pointers must be set; they are not owned.
struct GuiServices {
  MessageBoxService* message_boxes = nullptr;
  FileDialogService* file_dialogs = nullptr;
  BalloonService* balloons = nullptr;
  TrayService* tray = nullptr;
  PopupMenuService* popup_menus = nullptr;
  ClipboardService* clipboard = nullptr;
  ShellService* shell = nullptr;
  CursorService* cursor = nullptr;
  ControlDragService* control_drag = nullptr;
};
