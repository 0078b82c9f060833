#pragma once

#include <QEvent>
#include <QtGlobal>

class QWidget;

namespace orvel {

// A command or a notification that a child control sends to the window that
// holds it, carrying the id the holder gave the control and what happened.
// The receiver accepts the event when it handled it and may set a result.
// Containers that are not the real owner of their children (the splitter)
// pass these on to their own parent.
class ChildMessageEvent : public QEvent {
public:
    enum class Kind {
        Command,       // a control was used, such as a button clicked
        Notification,  // a control reports something, such as a click in a list
    };

    ChildMessageEvent(Kind kind, QWidget* sender, int controlId, int code);

    static QEvent::Type eventType();

    Kind kind() const { return kind_; }
    QWidget* sender() const { return sender_; }
    int controlId() const { return controlId_; }
    int code() const { return code_; }

    qintptr result() const { return result_; }
    void setResult(qintptr result) { result_ = result; }

private:
    Kind kind_;
    QWidget* sender_;
    int controlId_;
    int code_;
    qintptr result_ = 0;
};

// Notification code of a mouse click in a control.
inline constexpr int kNotifyClick = -2;

// Sends a message from child to the widget that holds it. Returns whether a
// receiver handled it; the receiver's result is left in the event.
bool sendToParent(QWidget& child, ChildMessageEvent& message);

} // namespace orvel
