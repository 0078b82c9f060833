#include "panels/health/right_list_view.h"

#include "inventory/attribute_rows.h"
#include "inventory/drive_info.h"
#include "inventory/nvme_health_rows.h"
#include "panels/health/show_attributes_event.h"

#include <QString>
#include <QStringList>

#include <array>

namespace orvel {

namespace {

constexpr std::array<ReportColumn, 6> kAttributeColumns{{
    {"ID", Qt::AlignLeft, 40},
    {"Attribute Name", Qt::AlignLeft, 230},
    {"Current Value", Qt::AlignRight, 100},
    {"Worst", Qt::AlignRight, 60},
    {"Threshold", Qt::AlignRight, 80},
    {"Raw Data", Qt::AlignRight, 100},
}};

} // namespace

CRightListView::CRightListView(QWidget* parent) : CReportListView(kAttributeColumns, parent) {}

bool CRightListView::event(QEvent* event)
{
    if (event->type() != ShowAttributesEvent::eventType())
        return CReportListView::event(event);
    OnShowAttributes(static_cast<ShowAttributesEvent*>(event)->drive());
    event->accept();
    return true;
}

void CRightListView::OnShowAttributes(const DriveInfo* drive)
{
    clear();
    if (drive == nullptr)
        return;
    // An NVMe drive's rows keep the log's order; ATA rows come sorted.
    if (drive->nvmeHealth) {
        for (const AttributeRow& row : nvmeHealthRows(*drive->nvmeHealth))
            addRow(row);
        return;
    }
    for (const SmartAttributeSlot* slot : attributesInListOrder(drive->smartAttributes))
        addRow(formatAttributeRow(*slot));
}

void CRightListView::addRow(const AttributeRow& row)
{
    addTopLevelItem(makeRow({QString::fromStdString(row.id), QString::fromStdString(row.name),
                             QString::fromStdString(row.current), QString::fromStdString(row.worst),
                             QString::fromStdString(row.threshold), QString::fromStdString(row.raw)}));
}

} // namespace orvel
