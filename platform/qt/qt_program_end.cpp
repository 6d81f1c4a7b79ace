#include "platform/qt/qt_program_end.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <QGuiApplication>
#include <QSocketNotifier>

#include <atomic>
#include <cerrno>
#include <cstdlib>

#include "platform/qt/qt_gui_thread.h"

namespace {

constexpr int end_signals[] = {SIGTERM, SIGHUP, SIGINT};

// Written by the signal handler, read on the GUI thread.
int signal_pipe[2] = {-1, -1};

ProgramEndHandlers* installed = nullptr;  // lives until the process ends
QtMessageHandler previous_message_handler = nullptr;
xcb_connection_t* display_connection = nullptr;
std::atomic<bool> display_lost_handled = false;

void on_end_signal(int signal_number) {
  const int saved = errno;
  const char byte = static_cast<char>(signal_number);
  [[maybe_unused]] const ssize_t written = write(signal_pipe[1], &byte, 1);
  errno = saved;
}

// The toolkit reports a broken display connection in a message just before it ends
// the process; every message is a chance to see the connection broken first.
void watch_messages(QtMsgType type, const QMessageLogContext& context, const QString& text) {
  if (previous_message_handler) previous_message_handler(type, context, text);
  if (!display_connection || !on_gui_thread() || !xcb_connection_has_error(display_connection)) return;
  if (display_lost_handled.exchange(true)) return;
  const int status = installed->display_lost ? installed->display_lost() : 1;
  std::_Exit(status);
}

}  // namespace

void install_program_end_handlers(ProgramEndHandlers handlers) {
  if (installed) return;
  installed = new ProgramEndHandlers(std::move(handlers));

  if (auto* x11 = qGuiApp ? qGuiApp->nativeInterface<QNativeInterface::QX11Application>() : nullptr)
    display_connection = x11->connection();
  previous_message_handler = qInstallMessageHandler(watch_messages);

  if (pipe2(signal_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, qGuiApp);
  QObject::connect(notifier, &QSocketNotifier::activated, notifier, [notifier] {
    char bytes[16];
    while (read(signal_pipe[0], bytes, sizeof bytes) > 0) {
    }
    // One end, however many signals came.
    notifier->setEnabled(false);
    if (installed->end_requested) installed->end_requested();
  });
  struct sigaction action {};
  action.sa_handler = on_end_signal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (const int signal_number : end_signals) sigaction(signal_number, &action, nullptr);
}
