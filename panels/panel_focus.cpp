#include "panels/panel_focus.h"

#include <QLabel>
#include <QRegularExpression>
#include <QWidget>

#include <algorithm>
#include <vector>

namespace orvel {

void orderTabsByPlace(QWidget& panel)
{
    std::vector<QWidget*> controls;
    for (QWidget* child : panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->focusPolicy() & Qt::TabFocus)
            controls.push_back(child);
    std::stable_sort(controls.begin(), controls.end(), [](const QWidget* a, const QWidget* b) {
        const QPoint first = a->geometry().topLeft();
        const QPoint second = b->geometry().topLeft();
        return first.y() != second.y() ? first.y() < second.y() : first.x() < second.x();
    });
    for (std::size_t n = 1; n < controls.size(); ++n)
        QWidget::setTabOrder(controls[n - 1], controls[n]);
}

QString labelName(const QLabel& label)
{
    static const QRegularExpression kTrailingColon(QStringLiteral("\\s*:\\s*$"));
    return label.text().remove(kTrailingColon).trimmed();
}

void nameAfterLabel(QWidget& control, QLabel& label)
{
    label.setBuddy(&control);
    control.setAccessibleName(labelName(label));
}

} // namespace orvel
