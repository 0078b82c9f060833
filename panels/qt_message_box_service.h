#pragma once

#include "engine/message_box.h"

#include <QPointer>
#include <QWidget>

namespace orvel {

// The program's message boxes: a modal QMessageBox with the request's caption,
// text, icon and buttons, over `owner` when there is one. Call it on the GUI
// thread only; the worker's messages reach it through the progress window.
class QtMessageBoxService : public MessageBoxService {
public:
    explicit QtMessageBoxService(QWidget* owner = nullptr);

    void setOwner(QWidget* owner);

    MessageAnswer show(const MessageRequest& request) override;

private:
    QPointer<QWidget> owner_;
};

} // namespace orvel
