#include "controls/gui_font.h"

#include <QApplication>
#include <QFontDatabase>
#include <QFontMetrics>

namespace orvel {

QFont guiFont(int cellHeight)
{
    QFont font = QApplication::font();
    int pixelSize = cellHeight > 0 ? cellHeight : 1;
    font.setPixelSize(pixelSize);
    while (pixelSize > 1 && QFontMetrics(font).height() > cellHeight) {
        --pixelSize;
        font.setPixelSize(pixelSize);
    }
    return font;
}

void useStockGuiFace()
{
    static const char* const kFace = "Liberation Sans";
    if (!QFontDatabase::families().contains(kFace))
        return;
    QFont font = QApplication::font();
    font.setFamily(kFace);
    QApplication::setFont(font);
}

} // namespace orvel
