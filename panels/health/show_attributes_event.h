#pragma once

#include <QEvent>

namespace orvel {

struct DriveInfo;

// WM_SHOW_ATTRIBUTES: the drive list asks the attribute list to show the
// S.M.A.R.T. attributes of the clicked drive. Sent synchronously; the drive
// record belongs to the inventory and stays valid until ClearInventory.
class ShowAttributesEvent : public QEvent {
public:
    explicit ShowAttributesEvent(const DriveInfo* drive);

    static QEvent::Type eventType();

    const DriveInfo* drive() const { return drive_; }

private:
    const DriveInfo* drive_;
};

} // namespace orvel
