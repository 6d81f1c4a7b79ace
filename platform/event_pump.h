#pragma once
// Processing pending events while a long call runs.
//
// The UI thread's event loop (the control model) registers how its pending events
// are processed. A converter run or a pause on the UI thread calls
// `process_pending_events` between polls so that windows stay responsive; on any
// other thread the call does nothing and a pause simply sleeps.

#include <chrono>
#include <functional>

// Registers `pump` as the way to process the calling thread's pending events and
// makes the calling thread the UI thread. An empty function removes the hook.
void set_ui_event_pump(std::function<void()> pump);

// True on the thread that registered the event pump.
bool is_ui_thread();

// Processes the UI thread's pending events; does nothing on other threads or
// before a pump is registered.
void process_pending_events();

// Waits at least `duration`; on the UI thread pending events keep being processed.
void pause_processing_events(std::chrono::milliseconds duration);
