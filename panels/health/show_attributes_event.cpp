#include "panels/health/show_attributes_event.h"

namespace orvel {

ShowAttributesEvent::ShowAttributesEvent(const DriveInfo* drive) : QEvent(eventType()), drive_(drive) {}

QEvent::Type ShowAttributesEvent::eventType()
{
    static const auto type = static_cast<QEvent::Type>(QEvent::registerEventType());
    return type;
}

} // namespace orvel
