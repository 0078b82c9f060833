#pragma once

#include <QColor>
#include <QFont>
#include <QString>

class QWidget;

namespace orvel {

class COrvelButton;
class CXEdit;
class CXStatic;

// Colours the operation panels share.
inline const QColor kPanelButtonFill(140, 191, 63);
inline const QColor kPanelWhite(255, 255, 255);
inline const QColor kPanelBlack(0, 0, 0);
// The background of the panels' edit fields, and the text of a disabled one.
inline const QColor kFieldGrey(165, 165, 165);
inline const QColor kDisabledFieldText(109, 109, 109);

// The application's default font with this pixel height, the panels' stand-in
// for the stock GUI font at a chosen height.
QFont panelFont(int pixelHeight);

// A green panel button with white centred text in `font`.
void setUpPanelButton(COrvelButton& button, const QFont& font);

// A grey edit field whose text stays readable while it is disabled.
void setUpGreyField(CXEdit& field);

// A black label with the control id `id`, in the application's font. A
// `fontHeight` above 0 also sets the height the label draws its text at.
CXStatic* makePanelLabel(QWidget& panel, const QString& text, int id, int fontHeight = 0);

// A button with the control id `id` whose background is painted white, as
// the panels answer the button's colour request.
COrvelButton* makePanelButton(QWidget& panel, const QString& text, int id);

// Paints a control's own background white, as the panels answer every
// control's colour request but the edit fields'.
void giveWhiteBackground(QWidget& control);

} // namespace orvel
