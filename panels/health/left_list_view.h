#pragma once

#include "panels/health/report_list_view.h"

#include <QModelIndex>
#include <QStringList>

class QWidget;

namespace orvel {

struct DriveInfo;

// The drive health panel's upper pane: one row per physical drive with its
// number, manufacturer, model, serial number, size, temperature and status.
// A mouse click on a drive (not a keyboard move) asks the lower pane of the
// splitter holding this list to show that drive's attributes.
class CLeftListView : public CReportListView {
    Q_OBJECT

public:
    explicit CLeftListView(QWidget* parent = nullptr);

    // Adds one row per record of physicalDrives. Called on the panel's
    // inventory thread: each row is added on the list's own thread while the
    // caller waits. Rows point at the records until ClearInventory.
    void FillDriveList();

    // The drive a row shows, or null.
    const DriveInfo* driveAt(int row) const;

private:
    void addDriveRow(const DriveInfo* drive, const QStringList& texts);
    void OnClick(const QModelIndex& index);
};

} // namespace orvel
