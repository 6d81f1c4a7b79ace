#pragma once
// A picture box: a label that shows the model's picture scaled to the box. Pictures
// the model could not decode (GuiPicture::encoded only, e.g. GIF) are decoded here;
// animated ones play.

#include <QLabel>

#include <memory>

#include "platform/gui/gui_types.h"

class QBuffer;
class QMovie;

class PictureBoxWidget final : public QLabel {
 public:
  explicit PictureBoxWidget(QWidget* parent = nullptr);
  ~PictureBoxWidget() override;

  // Shows the picture (no picture: the box is empty). The same picture again
  // changes nothing.
  void show_picture(const GuiPicture& picture);

 private:
  void stop_movie();

  GuiPicture shown_;
  std::unique_ptr<QMovie> movie_;
  std::unique_ptr<QBuffer> movie_data_;
};
