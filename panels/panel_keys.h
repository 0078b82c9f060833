#pragma once

class QAbstractButton;
class QWidget;

namespace orvel {

// Enter (the main key or the keypad's) clicks `next` and Escape clicks
// `back` wherever the focus is on the panel, as clicking them with the
// mouse would; a disabled button stays unpressed.
void bindNextAndBackKeys(QWidget& panel, QAbstractButton& next, QAbstractButton& back);

// Escape clicks `button` wherever the focus is on the panel.
void bindEscapeKey(QWidget& panel, QAbstractButton& button);

} // namespace orvel
