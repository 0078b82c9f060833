#pragma once

#include <QString>

class QCheckBox;
class QWidget;

namespace orvel {

// The set-up panels' choice to read the destination back after the copy and
// compare it with the source: an ordinary check box on white, in the font
// the panels' other controls use.
QCheckBox* makeVerifyBox(QWidget& panel, const QString& text, int id, bool ticked);

} // namespace orvel
