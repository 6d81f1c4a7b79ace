#pragma once
// The program's long-running threads and how shutdown ends them.
//
// Every thread that must be ended at shutdown is started here: the batch jobs
// (convert, merge, edit), the folder scans, and the start-up tasks of the main
// window. Ending is cooperative: shutdown sets a flag that the threads read between
// units of work (as they read the job's own stop flag), calls each running thread's
// stop function (which sets that thread's own flag or wakes it from a wait), ends the
// converter processes the program started (platform/process.h), so a run in progress
// returns at once, and then waits a bounded time for the threads to leave. Nothing is
// terminated mid-write.
//
//   start_worker_thread(WorkerKind::convert, [] { run_convert_job(); },
//                       [] { stop_requested = true; });
//   ...in the job, after each row:
//   if (stop_requested || worker_shutdown_requested()) break;
//
// Shutdown is one way: once it has begun no thread starts any more.

#include <chrono>
#include <functional>

// What a thread is, in the order shutdown asks them to stop.
enum class WorkerKind {
  scan,     // a folder scan adding videos to a job list
  convert,  // the batch convert job
  merge,    // the batch merge job
  edit,     // the batch edit job
  startup,  // a start-up task of the main window
};

// Starts `work` on a new thread kept in the registry. `request_stop`, when given, is
// called once (on the thread that begins shutdown) if shutdown begins while the thread
// runs. False, with nothing started, once shutdown has begun.
bool start_worker_thread(WorkerKind kind, std::function<void()> work, std::function<void()> request_stop = {});

// True once shutdown has begun: a worker leaves at its next check.
bool worker_shutdown_requested();

// Begins shutdown: sets the flag and calls the stop function of every running thread,
// kinds in the order of WorkerKind, threads of one kind in the order they started.
// Does not wait. Later calls do nothing.
void request_worker_shutdown();

// Waits until every registered thread has ended, or `limit` has passed. True when
// none runs any more. Ended threads are joined.
bool wait_for_worker_threads(std::chrono::milliseconds limit);

// The number of registered threads that have not ended yet (of one kind, or all).
int running_worker_threads();
int running_worker_threads(WorkerKind kind);
