#include "platform/qt/picture_box_widget.h"

#include <QBuffer>
#include <QByteArray>
#include <QImageReader>
#include <QMovie>
#include <QPixmap>

#include "platform/qt/qt_conversions.h"

PictureBoxWidget::PictureBoxWidget(QWidget* parent) : QLabel(parent) {
  setScaledContents(true);
  setTextFormat(Qt::PlainText);
}

PictureBoxWidget::~PictureBoxWidget() { stop_movie(); }

void PictureBoxWidget::stop_movie() {
  if (!movie_) return;
  setMovie(nullptr);
  movie_->stop();
  movie_.reset();
  movie_data_.reset();
}

void PictureBoxWidget::show_picture(const GuiPicture& picture) {
  if (picture == shown_) return;
  shown_ = picture;
  stop_movie();
  clear();
  if (picture.empty()) return;

  if (!picture.decoded() && picture.encoded) {
    // Formats the model keeps undecoded may be animated: play those.
    auto data = std::make_unique<QBuffer>();
    data->setData(QByteArray(reinterpret_cast<const char*>(picture.encoded->data()),
                             static_cast<qsizetype>(picture.encoded->size())));
    data->open(QIODevice::ReadOnly);
    auto movie = std::make_unique<QMovie>(data.get(), QByteArray());
    if (movie->isValid() && movie->frameCount() != 1) {
      movie_data_ = std::move(data);
      movie_ = std::move(movie);
      setMovie(movie_.get());
      movie_->start();
      return;
    }
  }
  const QImage image = to_qimage(picture);
  if (!image.isNull()) setPixmap(QPixmap::fromImage(image));
}
