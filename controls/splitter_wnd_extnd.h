#pragma once

#include <QPointer>
#include <QSize>
#include <QSplitter>

#include <array>

class QMetaObject;

namespace orvel {

// A splitter with two rows, one pane each, and a bar between them that the
// operator drags. It works inside an ordinary panel: the commands and
// notifications its panes send it (ChildMessageEvent) go on to the window that
// holds the splitter, as if the panes were that window's own children.
class CSplitterWndExtnd : public QSplitter {
    Q_OBJECT

public:
    static constexpr int kRows = 2;
    static constexpr int kColumns = 1;

    explicit CSplitterWndExtnd(QWidget* parent = nullptr);

    // Puts view into the cell at row and column with its initial size (the
    // row keeps its height, the last row takes what is left). False when the
    // cell does not exist or already has a pane.
    bool CreateView(int row, int column, QWidget* view, QSize initialSize);

    // The pane in a cell, or null.
    QWidget* GetPane(int row, int column) const;

    // The pane that has the keyboard focus, with its cell in row and column
    // where those are given; null when the focus is in no pane.
    QWidget* GetActivePane(int* row = nullptr, int* column = nullptr) const;

    // Gives the keyboard focus to pane, or when pane is null, to the pane at
    // row and column.
    void SetActivePane(int row, int column, QWidget* pane = nullptr);

    // Filled by the splitter's creator for others to find the panes; the
    // splitter itself never reads them.
    QWidget* firstPane_ = nullptr;
    const QMetaObject* firstPaneClass_ = nullptr;
    QWidget* secondPane_ = nullptr;
    const QMetaObject* secondPaneClass_ = nullptr;

protected:
    bool event(QEvent* event) override;

private:
    void applyInitialHeights();

    std::array<QPointer<QWidget>, kRows> rowPanes_;
    std::array<int, kRows> initialHeights_{};
};

} // namespace orvel
