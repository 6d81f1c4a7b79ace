#pragma once
// Headless implementations of every GUI service, for tests: each records what it
// was asked to show, and answers from a script that the test fills beforehand.
// Thread-safe: every member function takes the object's own lock; the recorded
// lists are read through the copy-returning accessors.
//
// Answers when the script is empty (the defaults):
// - message boxes: ok for an OK box, no for a Yes/No box (OK boxes never take a
//   scripted answer, so scripted answers go to the Yes/No boxes in order);
// - open-file dialog, folder chooser, colour picker, pop-up menu: cancelled
//   (no paths, "", nothing, -1);
// - control drag: no drag (nothing);
// - tray: available;
// - cursor position: (0, 0) until set; clipboard: "" until set.
// A scripted answer is used once, in the order given.

#include <deque>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "platform/gui/gui_services.h"

class HeadlessServices final : public MessageBoxService,
                               public FileDialogService,
                               public BalloonService,
                               public TrayService,
                               public PopupMenuService,
                               public ClipboardService,
                               public ShellService,
                               public CursorService,
                               public ControlDragService {
 public:
  // The set of pointers to this object, for GuiModel.
  GuiServices services();

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
  bool shell_open(const std::string& target) override;
  void set_cursor_shape(CursorShape shape) override;
  GuiPoint cursor_position() override;
  std::optional<GuiRect> drag_control(const ControlDragRequest& request) override;

  // ---- scripts ----
  void answer_message(MessageAnswer answer);
  void answer_open_files(std::vector<std::string> paths);  // empty = cancel
  void answer_folder(std::string folder);                  // "" = cancel
  void answer_colour(std::optional<GuiColour> colour);     // nothing = cancel
  void answer_popup_menu(int index);                       // -1 = dismiss
  void answer_drag(std::optional<GuiRect> geometry);       // nothing = no drag
  void set_tray_available(bool available);
  void set_cursor_position(GuiPoint position);

  // ---- records ----
  std::vector<MessageRequest> messages() const;
  std::vector<OpenFileRequest> open_file_requests() const;
  std::vector<FolderRequest> folder_requests() const;
  std::vector<ColourRequest> colour_requests() const;
  std::vector<BalloonRequest> balloons() const;
  std::vector<PopupMenuRequest> popup_menus() const;
  std::vector<std::string> opened() const;               // shell_open targets
  std::vector<CursorShape> cursor_shapes() const;
  std::vector<ControlDragRequest> drags() const;
  // The tray icon currently shown for `window`, if any.
  std::optional<TrayIconRequest> tray_icon(WindowToken window) const;
  // Forgets every record (scripts and the clipboard stay).
  void clear_records();

 private:
  mutable std::mutex mutex_;
  std::deque<MessageAnswer> message_answers_;
  std::deque<std::vector<std::string>> open_file_answers_;
  std::deque<std::string> folder_answers_;
  std::deque<std::optional<GuiColour>> colour_answers_;
  std::deque<int> popup_answers_;
  std::deque<std::optional<GuiRect>> drag_answers_;
  bool tray_available_ = true;
  GuiPoint cursor_{};
  std::string clipboard_;

  std::vector<MessageRequest> messages_;
  std::vector<OpenFileRequest> open_file_requests_;
  std::vector<FolderRequest> folder_requests_;
  std::vector<ColourRequest> colour_requests_;
  std::vector<BalloonRequest> balloons_;
  std::vector<PopupMenuRequest> popup_menus_;
  std::vector<std::string> opened_;
  std::vector<CursorShape> cursor_shapes_;
  std::vector<ControlDragRequest> drags_;
  std::vector<TrayIconRequest> tray_icons_;
};
