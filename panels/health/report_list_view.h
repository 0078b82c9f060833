#pragma once

#include <QStringList>
#include <QTreeWidget>

#include <span>
#include <vector>

class QTreeWidgetItem;
class QWidget;

namespace orvel {

// One column of a report list: its heading, how its texts align (heading
// included) and its initial width in pixels.
struct ReportColumn {
    const char* heading;
    Qt::Alignment alignment;
    int width;
};

// What the drive list and the attribute list share: a report list with a
// header, one row per record and no tree, single selection of whole rows,
// the Explorer look where the system has one, and rows kept in ascending
// order of their label (the first column's text, compared as case-insensitive
// text) however they are inserted. Its columns fit its width: where their
// designed widths add up to more, the columns with room to spare give it up.
class CReportListView : public QTreeWidget {
    Q_OBJECT

public:
    // The texts of row (0 at the top), column by column.
    QStringList rowTexts(int row) const;

protected:
    CReportListView(std::span<const ReportColumn> columns, QWidget* parent);

    // A row with one text per column, each aligned as its column.
    QTreeWidgetItem* makeRow(const QStringList& texts) const;

    // Inserts row after every row whose label does not sort after its own.
    void insertSorted(QTreeWidgetItem* row);

    void resizeEvent(QResizeEvent* event) override;

private:
    // Each column at its designed width, less its share of what the columns
    // together are too wide for the list, taken from the room its heading
    // and texts leave.
    void fitColumns();

    std::vector<int> designedWidths_;
};

} // namespace orvel
