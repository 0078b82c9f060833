#include "panels/panel_look.h"

#include "controls/orvel_button.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace orvel {

QFont panelFont(int pixelHeight)
{
    QFont font = QApplication::font();
    font.setPixelSize(pixelHeight);
    return font;
}

void setUpPanelButton(COrvelButton& button, const QFont& font)
{
    button.m_bCustomFill = true;
    button.m_crFill = kPanelButtonFill;
    button.m_bImageButton = true;
    button.m_nImageId = 0;
    button.m_crText = kPanelWhite;
    button.setFont(font);
}

void giveWhiteBackground(QWidget& control)
{
    QPalette palette = control.palette();
    palette.setColor(QPalette::Window, kPanelWhite);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

} // namespace orvel
