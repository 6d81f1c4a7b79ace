#pragma once
// Running work on the Qt GUI thread from any thread.

#include <functional>

class QObject;

// True on the thread of the QCoreApplication.
bool on_gui_thread();

// Runs `task` now when called on the GUI thread, otherwise queues it there for
// `context` (an object of the GUI thread): when the context is gone by then, the
// task is dropped.
void run_on_gui_thread(QObject* context, std::function<void()> task);
