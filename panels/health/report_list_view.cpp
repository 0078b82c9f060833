#include "panels/health/report_list_view.h"

#include "inventory/attribute_rows.h"
#include "panels/health/explorer_theme.h"

#include <QHeaderView>
#include <QTreeWidgetItem>

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
    for (int column = 0; column < static_cast<int>(columns.size()); ++column)
        header()->resizeSection(column, columns[column].width);
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
}

} // namespace orvel
