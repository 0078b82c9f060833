#include "panels/panel_look.h"

#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "controls/x_edit.h"
#include "controls/x_static.h"
#include "panels/control_id.h"

#include <QApplication>
#include <QPalette>
#include <QWidget>

namespace orvel {

QFont panelFont(int pixelHeight)
{
    return guiFont(pixelHeight);
}

void setUpPanelButton(COrvelButton& button, const QFont& font)
{
    button.customFill_ = true;
    button.fillColour_ = kPanelButtonFill;
    button.imageButton_ = true;
    button.imageId_ = 0;
    button.textColour_ = kPanelWhite;
    button.setFont(font);
}

void setUpGreyField(CXEdit& field)
{
    // The box answers its own colours for the enabled states; a disabled
    // field shows its text in the system's grey text colour.
    field.setColourOverride([](CXEdit::Colours& colours) { colours.background = QBrush(kFieldGrey); });
    QPalette palette = field.palette();
    palette.setColor(QPalette::Disabled, QPalette::Text, kDisabledFieldText);
    field.setPalette(palette);
}

void giveWhiteBackground(QWidget& control)
{
    QPalette palette = control.palette();
    palette.setColor(control.backgroundRole(), kPanelWhite);
    control.setPalette(palette);
    control.setAutoFillBackground(true);
}

CXStatic* makePanelLabel(QWidget& panel, const QString& text, int id, int fontHeight)
{
    auto* label = new CXStatic(text, &panel);
    setControlId(*label, id);
    if (fontHeight > 0)
        label->SetFontHeight(fontHeight);
    label->textColour_ = kPanelBlack;
    // A CXStatic keeps drawing with its own font, so each label is given it.
    label->setFont(QApplication::font());
    return label;
}

COrvelButton* makePanelButton(QWidget& panel, const QString& text, int id)
{
    auto* button = new COrvelButton(text, &panel);
    setControlId(*button, id);
    button->eraseBrush_ = QBrush(kPanelWhite);
    return button;
}

} // namespace orvel
