#pragma once

#include <QString>

class QLabel;
class QWidget;

namespace orvel {

// Chains the panel's own controls that take the focus by Tab in the order the
// eye reads them: row by row from the top, left to right within a row.
void orderTabsByPlace(QWidget& panel);

// A label's text as a name: without the trailing colon and blanks.
QString labelName(const QLabel& label);

// Names `control` for screen readers after the label in front of it (its
// text without the trailing colon) and makes the label its buddy.
void nameAfterLabel(QWidget& control, QLabel& label);

} // namespace orvel
