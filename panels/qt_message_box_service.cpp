#include "panels/qt_message_box_service.h"

#include <QMessageBox>
#include <QString>

namespace orvel {

namespace {

QMessageBox::Icon iconOf(MessageIcon icon)
{
    switch (icon) {
    case MessageIcon::Information:
        return QMessageBox::Information;
    case MessageIcon::Error:
        return QMessageBox::Critical;
    case MessageIcon::Question:
        return QMessageBox::Question;
    case MessageIcon::Warning:
        return QMessageBox::Warning;
    case MessageIcon::None:
        break;
    }
    return QMessageBox::NoIcon;
}

QMessageBox::StandardButtons buttonsOf(MessageButtons buttons)
{
    return buttons == MessageButtons::YesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok;
}

} // namespace

QtMessageBoxService::QtMessageBoxService(QWidget* owner) : owner_(owner) {}

void QtMessageBoxService::setOwner(QWidget* owner)
{
    owner_ = owner;
}

MessageAnswer QtMessageBoxService::show(const MessageRequest& request)
{
    QMessageBox box(iconOf(request.icon), QString::fromStdString(request.caption),
                    QString::fromStdString(request.text), buttonsOf(request.buttons), owner_.data());
    // Plain text: a device name or path must show as it is.
    box.setTextFormat(Qt::PlainText);
    // Closing a question without answering it is a No (the escape button).
    switch (box.exec()) {
    case QMessageBox::Yes:
        return MessageAnswer::Yes;
    case QMessageBox::No:
        return MessageAnswer::No;
    default:
        return request.buttons == MessageButtons::YesNo ? MessageAnswer::No : MessageAnswer::Ok;
    }
}

} // namespace orvel
