#pragma once

#include "panels/health/report_list_view.h"

class QEvent;
class QWidget;

namespace orvel {

struct AttributeRow;
struct DriveInfo;

// The drive health panel's lower pane: the S.M.A.R.T. attributes of the
// drive last clicked in the drive list, one row per attribute with its
// number, name, current, worst and threshold values and raw data, in the
// order of their hexadecimal numbers as text (1, 9, BE, C, C2); for an NVMe
// drive, the fields of its health log in the log's order.
class CRightListView : public CReportListView {
    Q_OBJECT

public:
    explicit CRightListView(QWidget* parent = nullptr);

protected:
    bool event(QEvent* event) override;

private:
    // WM_SHOW_ATTRIBUTES: replaces the rows with those of drive (none for null).
    void OnShowAttributes(const DriveInfo* drive);
    void addRow(const AttributeRow& row);
};

} // namespace orvel
