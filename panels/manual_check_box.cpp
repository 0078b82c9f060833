#include "panels/manual_check_box.h"

namespace orvel {

ManualCheckBox::ManualCheckBox(const QString& text, QWidget* parent) : QCheckBox(text, parent) {}

void ManualCheckBox::nextCheckState()
{
    // The owner's clicked() handler decides.
}

} // namespace orvel
