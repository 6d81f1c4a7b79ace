#pragma once
// Running work on the Qt GUI thread from any thread.

#include <functional>

// True on the thread of the QCoreApplication.
bool on_gui_thread();

// Runs `task` now when called on the GUI thread, otherwise queues it there.
void run_on_gui_thread(std::function<void()> task);
