#include "controls/x_edit.h"

#include <QApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPalette>

#include <utility>

namespace orvel {

CXEdit::CXEdit(QWidget* parent, const QString& prompt)
    : QLineEdit(parent), promptText_(prompt), backBrush_(backColour_)
{
    setText(promptText_);
}

void CXEdit::setColourOverride(ColourOverride colourOverride)
{
    colourOverride_ = std::move(colourOverride);
    update();
}

CXEdit::Colours CXEdit::colours() const
{
    Colours answer{showingPrompt_ ? promptColour_ : QApplication::palette(this).color(QPalette::Active, QPalette::Text),
                   backBrush_};
    if (colourOverride_)
        colourOverride_(answer);
    return answer;
}

void CXEdit::paintEvent(QPaintEvent* event)
{
    // The answer can change with the prompt state and the owner's override, so
    // it is asked for at every paint. Setting an unchanged palette is skipped,
    // which keeps the repaint that setPalette schedules from repeating.
    const Colours answer = colours();
    QPalette wanted = palette();
    wanted.setBrush(QPalette::Base, answer.background);
    wanted.setColor(QPalette::Active, QPalette::Text, answer.text);
    wanted.setColor(QPalette::Inactive, QPalette::Text, answer.text);
    if (wanted != palette())
        setPalette(wanted);
    QLineEdit::paintEvent(event);
}

void CXEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    clearPrompt();
}

void CXEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    clearPrompt();
}

void CXEdit::keyPressEvent(QKeyEvent* event)
{
    // Erased before the key is handled, so that a typed character lands in the
    // emptied box instead of being erased with the prompt.
    clearPrompt();
    QLineEdit::keyPressEvent(event);
}

void CXEdit::clearPrompt()
{
    if (!showingPrompt_)
        return;
    showingPrompt_ = false;
    setText(QString());
    update();
}

} // namespace orvel
