#include "platform/qt/qt_gui_thread.h"

#include <QCoreApplication>
#include <QMetaObject>
#include <QThread>

bool on_gui_thread() {
  const QCoreApplication* app = QCoreApplication::instance();
  return app && QThread::currentThread() == app->thread();
}

void run_on_gui_thread(QObject* context, std::function<void()> task) {
  if (on_gui_thread()) {
    task();
    return;
  }
  QMetaObject::invokeMethod(context, std::move(task), Qt::QueuedConnection);
}
