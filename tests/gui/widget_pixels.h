#pragma once

// Reading what a widget paints, for tests that check its look.
#include <QColor>
#include <QImage>
#include <QRect>
#include <QWidget>

namespace orvel::test {

// The widget painted offscreen at its current size, 32-bit RGB.
inline QImage renderWidget(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_RGB32);
}

inline QColor pixelAt(const QImage& image, int x, int y)
{
    return image.pixelColor(x, y);
}

// How many pixels of the region have exactly this colour.
inline int countColour(const QImage& image, const QColor& colour, const QRect& region)
{
    int count = 0;
    const QRect area = region.intersected(image.rect());
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixelColor(x, y) == colour ? 1 : 0;
    return count;
}

inline int countColour(const QImage& image, const QColor& colour)
{
    return countColour(image, colour, image.rect());
}

// The smallest rectangle holding every pixel that differs from background.
inline QRect inkBounds(const QImage& image, const QColor& background)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixelColor(x, y) != background)
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

} // namespace orvel::test
