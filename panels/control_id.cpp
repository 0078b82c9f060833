#include "panels/control_id.h"

#include <QVariant>

namespace orvel {

namespace {

constexpr const char* kControlIdProperty = "controlId";

} // namespace

void setControlId(QWidget& control, int id)
{
    control.setProperty(kControlIdProperty, id);
}

int controlId(const QWidget& control)
{
    return control.property(kControlIdProperty).toInt();
}

} // namespace orvel
