#include "platform/qt/qt_gui.h"

#include <QApplication>
#include <QFont>
#include <QFontDatabase>
#include <QImage>
#include <QStyleFactory>

#include "platform/gui/gui.h"
#include "platform/qt/qt_conversions.h"

namespace {
QtGui* running_gui = nullptr;  // the installed one (GUI thread)
}

void set_up_application_look() {
  if (QStyle* style = QStyleFactory::create(QStringLiteral("Fusion"))) QApplication::setStyle(style);
  const QString family = QString::fromUtf8(cjk_font_family);
  if (QFontDatabase::families().contains(family)) QApplication::setFont(QFont(family, 9));
}

QtGui::QtGui() : model(loop, services.services()), view(model) {
  services.attach(&model, &view);
  model.attach_view(&view);
  install_gui(&model);
  running_gui = this;
}

QtGui::~QtGui() {
  if (running_gui == this) running_gui = nullptr;
  install_gui(nullptr);
  model.attach_view(nullptr);
  services.attach(nullptr, nullptr);
}

int run_qt_program(int argc, char** argv, const std::function<void(GuiModel&)>& start) {
  QApplication app(argc, argv);
  set_up_application_look();
  QtGui qt;
  start(qt.model);
  return qt.loop.run();
}

bool save_window_png(WindowToken window, const std::string& path) {
  if (!running_gui) return false;
  const QImage image = running_gui->view.grab_window(window);
  return !image.isNull() && image.save(to_qstring(path), "PNG");
}
