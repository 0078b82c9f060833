#include "panels/health/report_list_view.h"

#include "inventory/attribute_rows.h"
#include "panels/health/explorer_theme.h"

#include <QHeaderView>
#include <QStyle>
#include <QTreeWidgetItem>

#include <algorithm>
#include <numeric>

namespace orvel {

namespace {

constexpr Qt::Alignment kVerticalAlignment = Qt::AlignVCenter;

} // namespace

CReportListView::CReportListView(std::span<const ReportColumn> columns, QWidget* parent) : QTreeWidget(parent)
{
    ApplyExplorerTheme(*this);

    setRootIsDecorated(false);
    setItemsExpandable(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::SingleSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAllColumnsShowFocus(true);
    // The order is the labels' order; the header does not re-sort.
    setSortingEnabled(false);
    header()->setSectionsClickable(false);
    header()->setSectionsMovable(false);
    header()->setStretchLastSection(false);

    setColumnCount(static_cast<int>(columns.size()));
    auto* headings = new QTreeWidgetItem;
    for (int column = 0; column < static_cast<int>(columns.size()); ++column) {
        headings->setText(column, QString::fromUtf8(columns[column].heading));
        headings->setTextAlignment(column, columns[column].alignment | kVerticalAlignment);
    }
    setHeaderItem(headings);
    for (const ReportColumn& column : columns)
        designedWidths_.push_back(column.width);
    fitColumns();
}

void CReportListView::resizeEvent(QResizeEvent* event)
{
    QTreeWidget::resizeEvent(event);
    fitColumns();
}

void CReportListView::fitColumns()
{
    // Room for a vertical scroll bar is kept whether it shows or not, so the
    // columns do not jump when rows are added.
    const int room = width() - 2 * frameWidth() - style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    const int columns = static_cast<int>(designedWidths_.size());
    const int designed = std::accumulate(designedWidths_.begin(), designedWidths_.end(), 0);
    const int excess = designed - room;

    std::vector<int> spare(designedWidths_.size(), 0);
    for (int column = 0; column < columns; ++column) {
        const int needed = std::max(header()->sectionSizeHint(column), sizeHintForColumn(column));
        spare[column] = std::max(0, designedWidths_[column] - needed);
    }
    const int totalSpare = std::accumulate(spare.begin(), spare.end(), 0);
    for (int column = 0; column < columns; ++column) {
        int columnWidth = designedWidths_[column];
        if (excess > 0 && totalSpare > 0) {
            // Rounded up, so that the shares together cover the excess.
            columnWidth -= std::min(spare[column], (excess * spare[column] + totalSpare - 1) / totalSpare);
        }
        header()->resizeSection(column, columnWidth);
    }
}

QStringList CReportListView::rowTexts(int row) const
{
    QStringList texts;
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr)
        return texts;
    for (int column = 0; column < columnCount(); ++column)
        texts.append(item->text(column));
    return texts;
}

QTreeWidgetItem* CReportListView::makeRow(const QStringList& texts) const
{
    auto* row = new QTreeWidgetItem(texts);
    const QTreeWidgetItem* headings = headerItem();
    for (int column = 0; column < columnCount(); ++column)
        row->setTextAlignment(column, headings->data(column, Qt::TextAlignmentRole).value<Qt::Alignment>());
    return row;
}

void CReportListView::insertSorted(QTreeWidgetItem* row)
{
    const std::string label = row->text(0).toStdString();
    int position = topLevelItemCount();
    while (position > 0 && listLabelLess(label, topLevelItem(position - 1)->text(0).toStdString()))
        --position;
    insertTopLevelItem(position, row);
    fitColumns();
}

} // namespace orvel
