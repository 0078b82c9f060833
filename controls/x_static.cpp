#include "controls/x_static.h"

#include "controls/gui_font.h"
#include "controls/text_fit.h"

#include <QApplication>
#include <QPainter>
#include <QPalette>

#include <cstdlib>

namespace orvel {

namespace {

// A font that is used as it is: QPainter fills in the properties a font leaves
// unset from the widget's font, which would let setFont change the label.
QFont standingAlone(QFont font)
{
    font.setResolveMask(QFont::AllPropertiesResolved);
    return font;
}

} // namespace

CXStatic::CXStatic(const QString& text, QWidget* parent)
    : QLabel(text, parent),
      font_(standingAlone(QApplication::font())),
      fontDescription_(QApplication::font()),
      backBrush_(QApplication::palette().color(QPalette::Active, QPalette::Base))
{
    setTextFormat(Qt::PlainText);
}

void CXStatic::SetFontHeight(int height)
{
    if (height != 0) {
        fontDescription_.setPixelSize(guiFont(std::abs(height)).pixelSize());
    } else {
        const QFont standard = QApplication::font();
        if (standard.pixelSize() > 0)
            fontDescription_.setPixelSize(standard.pixelSize());
        else
            fontDescription_.setPointSizeF(standard.pointSizeF());
    }
    font_ = standingAlone(QFont(fontDescription_, this));
    update();
}

QColor CXStatic::SetWhiteBackground()
{
    const QColor white(255, 255, 255);
    backBrush_ = QBrush(white);
    update();
    return white;
}

QFont CXStatic::drawnFont() const
{
    return fontFitting(font_, text(), contentsRect().size());
}

void CXStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), backBrush_);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(drawnFont());
    painter.setPen(textColour_);
    DrawLabelText(painter, text());
}

void CXStatic::DrawLabelText(QPainter& painter, const QString& text)
{
    const Qt::Alignment across = (format_ & kLabelTextRight) ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(rect(), static_cast<int>(across | Qt::AlignTop), text);
}

} // namespace orvel
