#include "controls/splitter_wnd_extnd.h"

#include "controls/child_message_event.h"

#include <QApplication>
#include <QList>

namespace orvel {

namespace {

constexpr int kBarHeight = 7;

} // namespace

CSplitterWndExtnd::CSplitterWndExtnd(QWidget* parent) : QSplitter(Qt::Vertical, parent)
{
    setHandleWidth(kBarHeight);
    // While the bar is dragged a tracker line follows the pointer; the panes
    // take their new sizes when the bar is let go.
    setOpaqueResize(false);
}

bool CSplitterWndExtnd::CreateView(int row, int column, QWidget* view, QSize initialSize)
{
    if (view == nullptr || row < 0 || row >= kRows || column < 0 || column >= kColumns || rowPanes_[row])
        return false;

    int index = 0;
    for (int above = 0; above < row; ++above)
        index += rowPanes_[above] ? 1 : 0;
    insertWidget(index, view);
    rowPanes_[row] = view;
    initialHeights_[row] = initialSize.height();
    applyInitialHeights();
    return true;
}

void CSplitterWndExtnd::applyInitialHeights()
{
    QList<int> heights;
    int lastRow = -1;
    for (int row = 0; row < kRows; ++row) {
        if (!rowPanes_[row])
            continue;
        heights.append(initialHeights_[row]);
        lastRow = row;
    }
    for (int row = 0; row < kRows; ++row) {
        if (rowPanes_[row])
            setStretchFactor(indexOf(rowPanes_[row]), row == lastRow ? 1 : 0);
    }
    setSizes(heights);
}

QWidget* CSplitterWndExtnd::GetPane(int row, int column) const
{
    if (row < 0 || row >= kRows || column < 0 || column >= kColumns)
        return nullptr;
    return rowPanes_[row];
}

QWidget* CSplitterWndExtnd::GetActivePane(int* row, int* column) const
{
    QWidget* focus = QApplication::focusWidget();
    if (focus == nullptr)
        return nullptr;
    for (int paneRow = 0; paneRow < kRows; ++paneRow) {
        if (rowPanes_[paneRow] != focus)
            continue;
        if (row != nullptr)
            *row = paneRow;
        if (column != nullptr)
            *column = 0;
        return focus;
    }
    return nullptr;
}

void CSplitterWndExtnd::SetActivePane(int row, int column, QWidget* pane)
{
    QWidget* target = pane != nullptr ? pane : GetPane(row, column);
    if (target != nullptr)
        target->setFocus(Qt::OtherFocusReason);
}

bool CSplitterWndExtnd::event(QEvent* event)
{
    if (event->type() != ChildMessageEvent::eventType())
        return QSplitter::event(event);

    // The splitter handles none of its panes' messages itself.
    auto& message = static_cast<ChildMessageEvent&>(*event);
    if (QWidget* holder = parentWidget())
        QCoreApplication::sendEvent(holder, &message);
    // A command is handled when the holder handled it; a notification always
    // counts as handled, with the holder's result.
    if (message.kind() == ChildMessageEvent::Kind::Notification)
        message.accept();
    return true;
}

} // namespace orvel
