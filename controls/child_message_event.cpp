#include "controls/child_message_event.h"

#include <QCoreApplication>
#include <QWidget>

namespace orvel {

ChildMessageEvent::ChildMessageEvent(Kind kind, QWidget* sender, int controlId, int code)
    : QEvent(eventType()), kind_(kind), sender_(sender), controlId_(controlId), code_(code)
{
    setAccepted(false);
}

QEvent::Type ChildMessageEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

bool sendToParent(QWidget& child, ChildMessageEvent& message)
{
    QWidget* parent = child.parentWidget();
    if (parent == nullptr)
        return false;
    QCoreApplication::sendEvent(parent, &message);
    return message.isAccepted();
}

} // namespace orvel
