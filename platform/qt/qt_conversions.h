#pragma once
// Conversions between the control model's values and Qt's: UTF-8 texts, line ends,
// byte offsets, rectangles, colours, fonts and pictures.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>

#include <string>

#include "platform/gui/gui_types.h"

QString to_qstring(const std::string& utf8);
std::string to_utf8(const QString& text);

// A model text as a widget shows it: "\r\n" and lone "\r" become "\n".
QString to_widget_text(const std::string& utf8);
// A multi-line widget's text as the model keeps it: every line break is "\r\n", as
// the original platform's edit boxes gave it.
std::string to_model_text(const QString& text);

// The position in to_widget_text(utf8) of a byte offset into `utf8` (clamped to the
// text; an offset inside a multibyte character or a "\r\n" counts as before it).
int widget_text_position(const std::string& utf8, int byte_offset);

inline GuiRect to_gui_rect(const QRect& rect) { return {rect.x(), rect.y(), rect.width(), rect.height()}; }

// 0x00BBGGRR <-> QColor (alpha dropped).
QColor to_qcolor(GuiColour colour);
GuiColour to_gui_colour(const QColor& colour);

// The font a control asks for, resolving only the attributes it sets (empty family,
// size 0 and no flags leave the widget's inherited font).
QFont to_qfont(const GuiFont& font);

// The picture's pixels as an image: the decoded RGBA pixels when there are any,
// otherwise the encoded bytes decoded by Qt (first frame); null when neither works.
QImage to_qimage(const GuiPicture& picture);
