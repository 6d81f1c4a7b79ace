// The job lists at scale, through the real Qt view in Qt's offscreen platform.
//
// Opens the real main window (as the program does, in a temporary run folder), makes
// a folder of N empty files named like videos, and then times, on the convert list,
// the actions a user takes on a long list, each as the user starts it (through the
// widgets, the key events and the drop event the view turns into the model's input):
// - add by drop: one drop event carrying N local files onto the list;
// - select all: a click on "全选";
// - scroll to the end: the list's scroll bar moved to its end;
// - delete the first row: row 0 selected, then the Delete key (the rows below move up
//   one place, their numbers stay);
// - Ctrl+A + Delete: both keys on the list, until the list is empty;
// - clear: N rows dropped again, then a click on "清空表格";
// - add by folder scan: the scan of the folder on its own thread, as "添加视频文件夹"
//   starts it after the folder browser;
// - a convert job over the whole list: "开始转换" clicked, the job left to run for a few
//   seconds (the files are empty, so each row's converter runs fail at once and the
//   job moves on quickly), then "停止转换" clicked and the job left to end. Meanwhile the
//   program's own event loop runs, and every event it delivers on the UI thread (a
//   notice of the job's writes, a paint, a timer, the clicks) is one step; it prints the
//   longest step in wall time and in the UI thread's CPU time (a step that waits for a
//   lock a worker holds takes wall time only), the median of the rounds.
// An action counts from the event until the view shows its result (its rows, its
// selection, its scroll position) and has painted the list once. For each it prints
// the wall time and the UI thread's own CPU time (CLOCK_THREAD_CPUTIME_ID), the
// median of the rounds; the deletions and the scan also run on worker threads, whose
// time is in the wall time only. After the first drop it prints the heap the rows
// take (mallinfo2, in use after the drop less in use before it) per row.
//
// Usage: list_scale [--adds-only] [rounds=3] [rows ...]   (default rows: 10000 100000)
// --adds-only times the drop, the clear and the scan only (for a list whose other
// actions take minutes).
// Targets: every action <= 16 ms of UI-thread time at 10 000 rows and <= 100 ms at
// 100 000; adding 100 000 rows <= 1 s in all; <= 0.5 KB of memory a row; no UI-thread
// step of the convert job longer than 16 ms (one frame) at either size.

#include <malloc.h>
#include <time.h>
#include <unistd.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QEventLoop>
#include <QMimeData>
#include <QScrollBar>
#include <QThread>
#include <QTimer>
#include <QToolButton>
#include <QUrl>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <thread>
#include <vector>

#include "bench/bench_measures.h"
#include "engine/convert/convert_job.h"
#include "engine/converter/worker_threads.h"
#include "platform/files.h"
#include "platform/gui/gui.h"
#include "platform/qt/qt_gui.h"
#include "tests/support/test_env.h"
#include "ui/job_lists.h"
#include "ui/list_adding.h"
#include "ui/main_window.h"
#include "ui/program_start.h"

namespace {

double thread_cpu_ms() {
  timespec t{};
  clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
  return static_cast<double>(t.tv_sec) * 1e3 + static_cast<double>(t.tv_nsec) / 1e6;
}

double heap_in_use() {
  const struct mallinfo2 info = mallinfo2();
  return static_cast<double>(info.uordblks + info.hblkhd);
}

struct Timing {
  double wall_ms = 0;
  double ui_cpu_ms = 0;
};

// The application, timing each event it delivers on the GUI thread from the event loop
// (nested deliveries belong to the step that made them) while `timing` is on.
class StepTimingApplication final : public QApplication {
 public:
  using QApplication::QApplication;

  struct Step {
    Timing time;
    int event_type = 0;
  };

  bool timing = false;
  Step longest_wall, longest_cpu;
  long steps = 0;

  void reset() {
    longest_wall = longest_cpu = {};
    steps = 0;
  }

  bool notify(QObject* receiver, QEvent* event) override {
    if (!timing || depth_ > 0 || QThread::currentThread() != thread()) {
      ++depth_;
      const bool result = QApplication::notify(receiver, event);
      --depth_;
      return result;
    }
    const int type = event->type();
    const double cpu = thread_cpu_ms();
    const auto start = clock_type::now();
    ++depth_;
    const bool result = QApplication::notify(receiver, event);
    --depth_;
    Step step;
    step.time.wall_ms = std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
    step.time.ui_cpu_ms = thread_cpu_ms() - cpu;
    step.event_type = type;
    ++steps;
    if (step.time.wall_ms > longest_wall.time.wall_ms) longest_wall = step;
    if (step.time.ui_cpu_ms > longest_cpu.time.ui_cpu_ms) longest_cpu = step;
    return result;
  }

 private:
  thread_local static inline int depth_ = 0;
};

class Bench {
 public:
  Bench(QtGui& qt, WindowToken window) : qt_(qt), window_(window) {
    qt.view.apply_pending();
    list_ = qobject_cast<QAbstractItemView*>(qt.view.control_widget(job_list_control(window, JobList::convert)));
  }

  QAbstractItemView* list() const { return list_; }
  int shown_rows() const { return list_->model()->rowCount(); }
  int shown_selected_rows() const {
    // Rows, not cells: the selection model counts every selected row once here.
    return static_cast<int>(list_->selectionModel()->selectedRows().size());
  }
  ControlRef list_ref() const { return job_list_control(window_, JobList::convert); }

  // Processes events until `done` holds (sleeping briefly between looks, so that
  // waiting for a worker costs the UI thread nothing), then paints the list once.
  // False when it did not come within `limit`.
  bool settle(const std::function<bool()>& done, std::chrono::seconds limit = std::chrono::seconds(120)) {
    const auto end = clock_type::now() + limit;
    for (;;) {
      QApplication::processEvents();
      qt_.view.apply_pending();
      if (done()) break;
      if (clock_type::now() > end) {
        std::printf("(an action did not end within %lld s: %d rows shown, %d selected)\n",
                    static_cast<long long>(limit.count()), shown_rows(), shown_selected_rows());
        return false;
      }
      std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    list_->viewport()->repaint();
    return true;
  }

  // Times `action` and the settling after it.
  Timing time(const std::function<void()>& action, const std::function<bool()>& done) {
    const double cpu = thread_cpu_ms();
    const auto start = clock_type::now();
    action();
    const bool ok = settle(done);
    Timing t;
    t.wall_ms = std::chrono::duration<double, std::milli>(clock_type::now() - start).count();
    t.ui_cpu_ms = thread_cpu_ms() - cpu;
    if (!ok) t.wall_ms = t.ui_cpu_ms = -1;
    return t;
  }

  void drop(QMimeData& data) {
    QWidget* viewport = list_->viewport();
    QDragEnterEvent enter(QPoint(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &enter);
    QDropEvent event(QPointF(20, 20), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(viewport, &event);
  }

  void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, modifiers);
    QApplication::sendEvent(list_, &press);
    QKeyEvent release(QEvent::KeyRelease, key, modifiers);
    QApplication::sendEvent(list_, &release);
  }

  void click(const char* role) {
    if (auto* button = qobject_cast<QToolButton*>(qt_.view.control_widget(main_control(role)))) button->click();
  }

  void start_scan(const std::string& folder) {
    const WindowToken window = window_;
    gui().set_enabled({window, "convert_add_folder_button"}, false);
    start_worker_thread(WorkerKind::scan, [window, folder] {
      scan_folder_into_list(window, JobList::convert, folder);
      gui().post_to_window(window, [window] { gui().set_enabled({window, "convert_add_folder_button"}, true); });
    });
  }
  bool scan_ended() const { return gui().enabled({window_, "convert_add_folder_button"}); }

  // Clicks the convert start button as the user does, from the event loop, runs the
  // loop for `running`, clicks it again to stop the job and runs the loop until the
  // job has ended. The steps of the whole run are timed. False when the job did not end.
  bool run_convert_job(StepTimingApplication& app, std::chrono::milliseconds running) {
    auto* button = qobject_cast<QToolButton*>(qt_.view.control_widget(main_control("convert_start_button")));
    if (!button) return false;
    const ControlRef start_button = main_control("convert_start_button");
    QEventLoop loop;
    bool stop_clicked = false;
    bool ended = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
      if (stop_clicked && gui().text(start_button) == convert_start_caption) {
        ended = true;
        loop.quit();
      }
    });
    QTimer::singleShot(running, &loop, [&] {
      stop_clicked = true;
      button->click();
    });
    QTimer::singleShot(std::chrono::seconds(120), &loop, [&] { loop.quit(); });
    app.reset();
    app.timing = true;
    QMetaObject::invokeMethod(button, [button] { button->click(); }, Qt::QueuedConnection);
    poll.start(10);
    loop.exec();
    app.timing = false;
    if (convert_thread.joinable()) convert_thread.join();
    return ended;
  }

 private:
  QtGui& qt_;
  WindowToken window_;
  QAbstractItemView* list_ = nullptr;
};

std::string file_name(int i) {
  char name[32];
  std::snprintf(name, sizeof name, "/v%06d.mp4", i);
  return name;
}

}  // namespace

int main(int argc, char** argv) {
  const bool adds_only = argc > 1 && std::string(argv[1]) == "--adds-only";
  if (adds_only) {
    --argc;
    ++argv;
  }
  const int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
  std::vector<int> sizes;
  for (int i = 2; i < argc; ++i) sizes.push_back(std::max(1, std::atoi(argv[i])));
  if (sizes.empty()) sizes = {10000, 100000};

  setenv("QT_QPA_PLATFORM", "offscreen", 1);
  test_env::TempDir work;
  setenv("HOME", work.path().c_str(), 1);
  int qt_argc = 1;
  char qt_name[] = "list_scale";
  char* qt_argv[] = {qt_name, nullptr};
  StepTimingApplication app(qt_argc, qt_argv);
  set_up_application_look();
  QtGui qt;

  const std::string run = work / "run";
  create_folders(run + "/bin");
  create_folders(run + "/fonts");
  setenv("QF_FONTS_FOLDER", (run + "/fonts").c_str(), 1);
  symlink(QF_SYSTEM_FFMPEG, (run + "/bin/ffmpeg").c_str());
  symlink(QF_BINARY_DIR "/run/resources", (run + "/resources").c_str());
  const WindowToken window = open_main_window_in(run);
  if (!window) {
    std::printf("the main window did not open\n");
    return 1;
  }
  Bench bench(qt, window);
  if (!bench.list()) {
    std::printf("the convert list has no item view\n");
    return 1;
  }
  // Let the start-up tasks finish.
  bench.settle([] { return running_worker_threads() == 0; });
  bench.list()->setFocus();

  std::printf("%-36s %8s %10s %12s\n", "action", "rows", "wall ms", "UI CPU ms");
  for (const int rows : sizes) {
    const std::string folder = work / ("files" + std::to_string(rows));
    create_folders(folder);
    QList<QUrl> urls;
    urls.reserve(rows);
    for (int i = 1; i <= rows; ++i) {
      const std::string path = folder + file_name(i);
      test_env::write_file(path, "");
      urls.append(QUrl::fromLocalFile(QString::fromStdString(path)));
    }

    std::map<std::string, std::vector<Timing>> results;
    std::vector<std::string> order;
    const auto note = [&](const std::string& action, Timing t) {
      if (!results.count(action)) order.push_back(action);
      results[action].push_back(t);
    };
    double bytes_per_row = 0;
    for (int round = 1; round <= rounds; ++round) {
      const auto all_shown = [&] { return bench.shown_rows() == rows; };
      const auto none_shown = [&] { return bench.shown_rows() == 0; };
      {
        QMimeData data;
        data.setUrls(urls);
        const double heap_before = heap_in_use();
        note("add by drop", bench.time([&] { bench.drop(data); }, all_shown));
        if (round == 1) bytes_per_row = (heap_in_use() - heap_before) / rows;
      }
      if (!adds_only) {
        note("select all (全选)", bench.time([&] { bench.click("convert_select_all_button"); },
                                               [&] { return bench.shown_selected_rows() == rows; }));
        note("scroll to the end", bench.time([&] {
               QScrollBar* bar = bench.list()->verticalScrollBar();
               bar->setValue(bar->maximum());
             }, [] { return true; }));
        gui().set_focus(bench.list_ref());
        bench.list()->setFocus();
        gui().clear_row_selection(bench.list_ref());
        gui().set_row_selected(bench.list_ref(), 0, true);
        bench.settle([&] { return bench.shown_selected_rows() == 1; });
        const std::string second = gui().cell(bench.list_ref(), 1, 1);
        // Until the deletion has ended: its button is enabled again.
        const auto deletion_ended = [&] { return gui().enabled(main_control("convert_delete_selected_button")); };
        note("delete the first row (Delete)", bench.time([&] { bench.key(Qt::Key_Delete); }, [&] {
               return bench.shown_rows() == rows - 1 && deletion_ended() &&
                      bench.list()->model()->index(0, 1).data().toString().toStdString() == second;
             }));
        note("Ctrl+A + Delete", bench.time([&] {
               bench.key(Qt::Key_A, Qt::ControlModifier);
               bench.key(Qt::Key_Delete);
             }, [&] { return none_shown() && deletion_ended(); }));
      } else {
        gui().clear_rows(bench.list_ref());
        bench.settle(none_shown);
      }
      {
        QMimeData data;
        data.setUrls(urls);
        bench.drop(data);
        bench.settle(all_shown);
      }
      note("clear (清空表格)", bench.time([&] { bench.click("convert_clear_button"); }, none_shown));
      note("add by folder scan", bench.time([&] { bench.start_scan(folder); },
                                            [&] { return bench.scan_ended() && bench.shown_rows() == rows; }));
      gui().clear_rows(bench.list_ref());
      bench.settle(none_shown);
      {
        QMimeData data;
        data.setUrls(urls);
        bench.drop(data);
        bench.settle(all_shown);
        if (!bench.run_convert_job(app, std::chrono::milliseconds(3000))) std::printf("(the convert job did not end)\n");
        note("convert job: longest UI step", Timing{app.longest_wall.time.wall_ms, app.longest_cpu.time.ui_cpu_ms});
        std::printf("(round %d: %ld steps; the longest in wall time a %d event, %.1f ms wall %.1f ms CPU;"
                    " in CPU time a %d event)\n",
                    round, app.steps, app.longest_wall.event_type, app.longest_wall.time.wall_ms,
                    app.longest_wall.time.ui_cpu_ms, app.longest_cpu.event_type);
        gui().clear_rows(bench.list_ref());
        bench.settle(none_shown);
      }
    }
    for (const std::string& action : order) {
      std::vector<double> wall, cpu;
      for (const Timing& t : results[action]) {
        wall.push_back(t.wall_ms);
        cpu.push_back(t.ui_cpu_ms);
      }
      std::printf("%-36s %8d %10.1f %12.1f\n", action.c_str(), rows, median(wall), median(cpu));
    }
    std::printf("%-36s %8d %10.0f bytes a row\n", "heap of the dropped rows", rows, bytes_per_row);
    std::fflush(stdout);
    std::filesystem::remove_all(folder);
  }
  std::printf("medians of %d rounds; targets: UI time <= 16 ms (10 000 rows), <= 100 ms (100 000 rows), adding\n"
              "100 000 rows <= 1 s, <= 512 bytes a row, the convert job's longest UI step <= 16 ms\n",
              rounds);
  gui().destroy_window(window);
  wait_for_worker_threads(std::chrono::seconds(10));
  return 0;
}
