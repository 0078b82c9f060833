#include "controls/x_static.h"

#include "controls/gui_font.h"

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
      m_font(standingAlone(QApplication::font())),
      m_lf(QApplication::font()),
      m_brBack(QApplication::palette().color(QPalette::Active, QPalette::Base))
{
    setTextFormat(Qt::PlainText);
}

void CXStatic::SetFontHeight(int height)
{
    if (height != 0) {
        m_lf.setPixelSize(guiFont(std::abs(height)).pixelSize());
    } else {
        const QFont standard = QApplication::font();
        if (standard.pixelSize() > 0)
            m_lf.setPixelSize(standard.pixelSize());
        else
            m_lf.setPointSizeF(standard.pointSizeF());
    }
    m_font = standingAlone(QFont(m_lf, this));
    update();
}

QColor CXStatic::SetWhiteBackground()
{
    const QColor white(255, 255, 255);
    m_brBack = QBrush(white);
    update();
    return white;
}

void CXStatic::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), m_brBack);
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setFont(m_font);
    painter.setPen(m_crText);
    DrawLabelText(painter, text());
}

void CXStatic::DrawLabelText(QPainter& painter, const QString& text)
{
    const Qt::Alignment across = (m_nFormat & kLabelTextRight) ? Qt::AlignRight : Qt::AlignLeft;
    painter.drawText(rect(), static_cast<int>(across | Qt::AlignTop), text);
}

} // namespace orvel
