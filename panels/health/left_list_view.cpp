#include "panels/health/left_list_view.h"

#include "controls/splitter_wnd_extnd.h"
#include "inventory/drive_inventory.h"
#include "inventory/drive_text.h"
#include "panels/health/drive_model_text.h"
#include "panels/health/gui_thread_call.h"
#include "panels/health/show_attributes_event.h"

#include <QCoreApplication>
#include <QTreeWidgetItem>
#include <QVariant>

#include <array>
#include <cstddef>

namespace orvel {

namespace {

constexpr std::array<ReportColumn, 7> kDriveColumns{{
    {"No.", Qt::AlignLeft, 40},
    {"Manufacturer", Qt::AlignLeft, 100},
    {"Model", Qt::AlignLeft, 150},
    {"Serial No.", Qt::AlignLeft, 150},
    {"Size", Qt::AlignRight, 80},
    {"Temperature", Qt::AlignRight, 100},
    {"Status", Qt::AlignLeft, 80},
}};

// Where each row keeps the record it shows.
constexpr int kDriveRole = Qt::UserRole;

QString text(const std::string& utf8)
{
    return QString::fromStdString(utf8);
}

QStringList driveRowTexts(std::size_t number, const DriveInfo& drive)
{
    return {QString::number(number),
            text(driveManufacturer(drive.model)),
            text(driveModelNumber(drive.model)),
            text(drive.serialNumber),
            text(formatDriveSize(drive.sizeBytes)),
            text(formatTemperature(drive.temperatureC)),
            text(drive.status)};
}

} // namespace

CLeftListView::CLeftListView(QWidget* parent) : CReportListView(kDriveColumns, parent)
{
    // clicked comes from the mouse only; moving the selection with the keys
    // leaves the attribute list as it is.
    connect(this, &QAbstractItemView::clicked, this, &CLeftListView::OnClick);
}

void CLeftListView::FillDriveList()
{
    for (std::size_t number = 0; number < physicalDrives.size(); ++number) {
        const DriveInfo* drive = physicalDrives[number].get();
        const QStringList texts = driveRowTexts(number, *drive);
        callOnOwnerThread(*this, [this, drive, texts] { addDriveRow(drive, texts); });
    }
}

const DriveInfo* CLeftListView::driveAt(int row) const
{
    const QTreeWidgetItem* item = topLevelItem(row);
    if (item == nullptr)
        return nullptr;
    return reinterpret_cast<const DriveInfo*>(item->data(0, kDriveRole).value<quintptr>());
}

void CLeftListView::addDriveRow(const DriveInfo* drive, const QStringList& texts)
{
    QTreeWidgetItem* row = makeRow(texts);
    row->setData(0, kDriveRole, QVariant::fromValue(reinterpret_cast<quintptr>(drive)));
    insertSorted(row);
}

void CLeftListView::OnClick(const QModelIndex& index)
{
    if (!index.isValid())
        return;
    auto* splitter = qobject_cast<CSplitterWndExtnd*>(parentWidget());
    if (splitter == nullptr || splitter->secondPane_ == nullptr)
        return;
    ShowAttributesEvent message(driveAt(index.row()));
    QCoreApplication::sendEvent(splitter->secondPane_, &message);
}

} // namespace orvel
