#include "controls/text_fit.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace orvel {

namespace {

bool fits(const QFont& font, const QString& text, QSize room)
{
    const QSize needed = QFontMetrics(font).size(0, text);
    return needed.width() <= room.width() && needed.height() <= room.height();
}

} // namespace

QFont fontFitting(const QFont& font, const QString& text, QSize room)
{
    if (text.isEmpty() || fits(font, text, room))
        return font;
    QFont smaller = font;
    for (int pixels = QFontInfo(font).pixelSize() - 1; pixels >= kSmallestTextPixels; --pixels) {
        smaller.setPixelSize(pixels);
        if (fits(smaller, text, room))
            return smaller;
    }
    smaller.setPixelSize(kSmallestTextPixels);
    return smaller;
}

} // namespace orvel
