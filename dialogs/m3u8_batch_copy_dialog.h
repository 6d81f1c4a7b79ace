#pragma once
// `M3u8BatchCopyDialog`: collects many m3u8 stream addresses at once and puts them into
// `convert_list` of the main window.
//
// The user types or pastes addresses into the box, one per line, or turns on
// "自动粘贴网址": every 100 ms the clipboard's text is searched for m3u8 addresses, the
// new ones are added at the end of the box, each on a line of its own, and the
// clipboard is emptied (a clipboard without new addresses stays untouched). "确定", when the box holds ".m3u8"
// somewhere, fills the convert list on a thread of its own and then closes the dialog;
// with "确定时过滤重复地址" (checked at first) the rows already listed stay first and
// the box adds only addresses not listed yet, without it the list is replaced by the
// box's lines (dialogs/m3u8_addresses.h has the rules). The close box closes the
// dialog without touching the list.
//
// Threads: the handlers run on the UI thread; the fill runs on a worker thread
// (engine/converter/worker_threads.h, so shutdown ends it between rows) and writes the list
// through the control model. When the dialog goes, its destroyed handler waits until
// the fill has left, so no row is written after the dialog is gone and no fill is
// cut off half-way.

#include <condition_variable>
#include <mutex>
#include <string>

#include "platform/gui/gui.h"

inline constexpr const char* m3u8_dialog_name = "M3u8BatchCopyDialog";
inline constexpr const char* m3u8_dialog_title = "m3u8视频地址批量复制";
// The clipboard timer's name and its interval while auto paste is on.
inline constexpr const char* m3u8_clipboard_timer = "m3u8_clipboard_timer";
inline constexpr int m3u8_clipboard_interval_ms = 100;

// The design of the dialog's window.
WindowSpec build_m3u8_batch_copy_dialog();

// Builds the dialog and binds its handlers; not opened yet.
WindowToken create_m3u8_batch_copy_dialog();

// UI thread. Opens the dialog modally and returns when it has closed. The main window
// opens it without an owner, so every other window waits for it.
void open_m3u8_batch_copy_dialog(WindowToken owner = {});

// Registers the dialog's opener for the main window's "添加m3u8视频地址" button
// (engine/window/dialog_openers.h): modal, without an owner. Called at program start.
void register_m3u8_batch_copy_dialog_opener();

// Handlers (UI thread; each event names the dialog).
void on_m3u8_auto_paste_clicked(const GuiEvent& event);
void on_m3u8_clipboard_timer(const GuiEvent& event);
void on_m3u8_clear_clicked(const GuiEvent& event);
void on_m3u8_ok_clicked(const GuiEvent& event);
void on_m3u8_dialog_destroyed(const GuiEvent& event);

// What one fill works with: read on the UI thread when "确定" is clicked.
struct M3u8FillRequest {
  WindowToken dialog;       // closed at the fill's end
  ControlRef convert_list;  // of the main window
  std::string box_text;
  bool filter_duplicates = true;
};

// Rewrites the convert list from the request, then asks for the dialog's close. Stops
// between rows when shutdown has begun or the fill is asked to stop.
void fill_convert_list_from_m3u8(const M3u8FillRequest& request);
void fill_convert_list_from_m3u8_thread_entry(const M3u8FillRequest& request);

// The latest fill of the convert list. At most one runs at a time.
class M3u8FillThread {
 public:
  // Starts the fill on a worker thread; false when one runs already or shutdown has
  // begun.
  bool start(M3u8FillRequest request);
  // True while a fill runs.
  bool running() const;
  // Waits until no fill runs.
  void wait();
  // True when the running fill has been asked to stop.
  bool stop_requested() const;

 private:
  void finished();

  mutable std::mutex mutex_;
  std::condition_variable ended_;
  bool running_ = false;
  bool stop_ = false;
};

extern M3u8FillThread m3u8_fill_thread;

