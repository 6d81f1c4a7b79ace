#include "platform/qt/qt_conversions.h"

#include <QByteArray>

#include <algorithm>

QString to_qstring(const std::string& utf8) {
  return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(utf8.size()));
}

std::string to_utf8(const QString& text) {
  const QByteArray bytes = text.toUtf8();
  return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

QString to_widget_text(const std::string& utf8) {
  QString text = to_qstring(utf8);
  text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  return text;
}

std::string to_model_text(const QString& text) {
  QString model = text;
  model.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  model.replace(QLatin1Char('\r'), QLatin1Char('\n'));
  model.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
  return to_utf8(model);
}

int widget_text_position(const std::string& utf8, int byte_offset) {
  if (byte_offset <= 0) return 0;
  std::size_t cut = std::min<std::size_t>(static_cast<std::size_t>(byte_offset), utf8.size());
  // Stop at the start of the character the offset falls into, and before a "\r\n".
  while (cut > 0 && cut < utf8.size() && (static_cast<unsigned char>(utf8[cut]) & 0xC0) == 0x80) --cut;
  if (cut > 0 && cut < utf8.size() && utf8[cut - 1] == '\r' && utf8[cut] == '\n') --cut;
  return static_cast<int>(to_widget_text(utf8.substr(0, cut)).size());
}

QColor to_qcolor(GuiColour colour) {
  return QColor(colour_red(colour), colour_green(colour), colour_blue(colour));
}

GuiColour to_gui_colour(const QColor& colour) {
  return make_colour(colour.red(), colour.green(), colour.blue());
}

QFont to_qfont(const GuiFont& font) {
  QFont result;
  if (!font.family.empty()) result.setFamily(to_qstring(font.family));
  if (font.point_size > 0) result.setPointSize(font.point_size);
  if (font.bold) result.setBold(true);
  if (font.italic) result.setItalic(true);
  if (font.underline) result.setUnderline(true);
  return result;
}

QImage to_qimage(const GuiPicture& picture) {
  if (picture.decoded() &&
      picture.rgba->size() >= static_cast<std::size_t>(picture.width) * static_cast<std::size_t>(picture.height) * 4) {
    const QImage view(picture.rgba->data(), picture.width, picture.height, picture.width * 4,
                      QImage::Format_RGBA8888);
    return view.copy();  // owns its pixels; the model's stay untouched
  }
  if (picture.encoded && !picture.encoded->empty()) {
    return QImage::fromData(picture.encoded->data(), static_cast<int>(picture.encoded->size()));
  }
  return {};
}
