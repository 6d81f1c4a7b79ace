#pragma once
// The start-up tasks of the main window: work that its created handler starts, each on
// a thread of its own, while the window is being set up. The features that own them
// set them while their handlers are bound (bind_main_window_handlers), before the
// window opens; a task that nobody has set is simply not started.
//
// The created handler starts them in this order: the converter presence check, then
// the subtitle font list, then the settings restore. They run at the same time as each
// other and as the UI thread; shutdown asks them to stop like every worker thread
// (engine/converter/worker_threads.h).

#include <functional>

enum class StartupTask {
  converter_check,  // makes sure the converter is there
  font_list,        // fills the subtitle font list and selects the remembered font
  settings,         // restores the edit page's options from the settings file
};

// Sets (or, with an empty function, removes) the work of a start-up task.
// `request_stop`, when given, is called if shutdown begins while the task runs.
void set_startup_task(StartupTask task, std::function<void()> work, std::function<void()> request_stop = {});

// Starts the task's work on a new worker thread. False when no work is set or shutdown
// has begun.
bool start_startup_task(StartupTask task);
