#pragma once

#include <QWidget>

namespace orvel {

// The command id a panel gives each of its controls. Labels and buttons may
// share an id (labels send no commands), so an id names a control only
// together with its kind.
void setControlId(QWidget& control, int id);
int controlId(const QWidget& control);

// The first child of `panel` of kind T with this id; null when there is none.
template <typename T>
T* findControl(const QWidget& panel, int id)
{
    for (T* control : panel.findChildren<T*>(Qt::FindDirectChildrenOnly))
        if (controlId(*control) == id)
            return control;
    return nullptr;
}

} // namespace orvel
