#include "panels/panel_keys.h"

#include <QAbstractButton>
#include <QKeySequence>
#include <QShortcut>
#include <QWidget>

namespace orvel {

namespace {

void bindKey(QWidget& panel, Qt::Key key, QAbstractButton& button)
{
    auto* shortcut = new QShortcut(QKeySequence(key), &panel);
    shortcut->setContext(Qt::WidgetWithChildrenShortcut);
    // A held key must not start one operation after another.
    shortcut->setAutoRepeat(false);
    QObject::connect(shortcut, &QShortcut::activated, &button, &QAbstractButton::click);
}

} // namespace

void bindNextAndBackKeys(QWidget& panel, QAbstractButton& next, QAbstractButton& back)
{
    bindKey(panel, Qt::Key_Return, next);
    bindKey(panel, Qt::Key_Enter, next);
    bindKey(panel, Qt::Key_Escape, back);
}

void bindEscapeKey(QWidget& panel, QAbstractButton& button)
{
    bindKey(panel, Qt::Key_Escape, button);
}

} // namespace orvel
