#pragma once
// The top-level widget of one model window. Its client area is the window's area
// of controls; the close box asks the program instead of closing (the model decides
// and destroys the window), and a resize by the user is reported.

#include <QWidget>

#include <functional>

class WindowWidget final : public QWidget {
 public:
  WindowWidget();

  // Called for the user's close request (the close box, Alt+F4). The widget stays.
  std::function<void()> on_close_request;
  // Called after the window's client size changed.
  std::function<void(int width, int height)> on_resized;

  // Destroying: close events are no longer requests.
  void set_closing(bool closing) { closing_ = closing; }

 protected:
  void closeEvent(QCloseEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  bool closing_ = false;
};
