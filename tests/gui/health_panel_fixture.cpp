#include "health_panel_fixture.h"

#include "controls/splitter_wnd_extnd.h"
#include "inventory/drive_inventory.h"
#include "panels/panel_messages.h"

#include <QHeaderView>
#include <QScrollBar>
#include <QStyle>
#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include <utility>

namespace orvel::test {

namespace {

constexpr int kPanelWidth = 600;
constexpr int kPanelHeight = 370;
// Generous: the inventory of a few simulated drives takes milliseconds.
constexpr int kInventoryTimeoutMs = 60000;

// Entries of 12 bytes from offset 2 in both blocks.
constexpr std::size_t kFirstEntry = 2;
constexpr std::size_t kEntrySize = 12;

} // namespace

MessageAnswer NoMessageBoxes::show(const MessageRequest& request)
{
    ADD_FAILURE() << "unexpected message box \"" << request.caption << "\": " << request.text;
    return MessageAnswer::Ok;
}

void RecordingHealthHost::handlePanelMessage(std::uint32_t message)
{
    requests.push_back({message, physicalDrives.size(), volumes.size()});
}

void RecordingHealthHost::closeMainWindow()
{
    requests.push_back({WM_CLOSE_MAIN, physicalDrives.size(), volumes.size()});
}

SimDriveSetup smartDrive(const std::string& model, const std::vector<SimAttribute>& attributes)
{
    SimDriveSetup setup = plainDrive(model);
    SmartBlock data{};
    SmartBlock thresholds{};
    for (std::size_t i = 0; i < attributes.size(); ++i) {
        const SimAttribute& attribute = attributes[i];
        const std::size_t at = kFirstEntry + i * kEntrySize;
        data[at] = attribute.id;
        data[at + 3] = attribute.current;
        data[at + 4] = attribute.worst;
        for (std::size_t b = 0; b < attribute.raw.size(); ++b)
            data[at + 5 + b] = attribute.raw[b];
        thresholds[at] = attribute.id;
        thresholds[at + 1] = attribute.threshold;
    }
    setup.smartData = data;
    setup.smartThresholds = thresholds;
    return setup;
}

SimDriveSetup plainDrive(const std::string& model, std::uint64_t sizeBytes)
{
    SimDriveSetup setup;
    setup.model = model;
    setup.serial = "SN-" + model;
    setup.sizeBytes = sizeBytes;
    return setup;
}

void expectColumnsWithinList(const QTreeWidget& list)
{
    const QScrollBar& upDown = *list.verticalScrollBar();
    const int barToCome =
        upDown.isVisible() ? 0 : list.style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, &list);
    const int room = list.viewport()->width() - barToCome;
    for (int column = 0; column < list.columnCount(); ++column) {
        const int rightEdge = list.header()->sectionViewportPosition(column) + list.header()->sectionSize(column);
        EXPECT_LE(rightEdge, room) << "column " << list.headerItem()->text(column).toStdString()
                                   << " ends outside the list";
    }
    EXPECT_FALSE(list.horizontalScrollBar()->isVisible()) << "the list scrolls sideways";
}

bool waitForInventory(QWidget& mainWindow)
{
    return QTest::qWaitFor([&] { return mainWindow.isEnabled(); }, kInventoryTimeoutMs);
}

HealthPanelSession::HealthPanelSession(std::vector<SimDriveSetup> drives)
{
    ClearInventory();
    host_ = std::make_unique<RecordingHealthHost>(simulation_.make(std::move(drives)));
    host_->window.resize(kPanelWidth, kPanelHeight);
    panel_ = new CDriveHealthWnd(*host_, &host_->window);
    panel_->setGeometry(0, 0, kPanelWidth, kPanelHeight);
    host_->window.show();
    if (!QTest::qWaitForWindowExposed(&host_->window)) {
        ADD_FAILURE() << "the main window never showed";
        return;
    }
    if (!panel_->OnCreate()) {
        ADD_FAILURE() << "the health panel could not be created";
        return;
    }
    if (!waitForInventory(host_->window)) {
        ADD_FAILURE() << "the inventory thread never enabled the main window again";
        return;
    }
    ready_ = true;
}

HealthPanelSession::~HealthPanelSession()
{
    delete panel_;
    ClearInventory();
}

CLeftListView& HealthPanelSession::driveList()
{
    return *qobject_cast<CLeftListView*>(panel_->findChild<CSplitterWndExtnd*>()->firstPane_);
}

CRightListView& HealthPanelSession::attributeList()
{
    return *qobject_cast<CRightListView*>(panel_->findChild<CSplitterWndExtnd*>()->secondPane_);
}

int HealthPanelSession::driveRow(const QString& label)
{
    CLeftListView& list = driveList();
    for (int row = 0; row < list.topLevelItemCount(); ++row)
        if (list.topLevelItem(row)->text(0) == label)
            return row;
    return -1;
}

void HealthPanelSession::clickDrive(const QString& label)
{
    CLeftListView& list = driveList();
    const int row = driveRow(label);
    ASSERT_GE(row, 0) << "no drive row labelled " << label.toStdString();
    QTreeWidgetItem* item = list.topLevelItem(row);
    list.scrollToItem(item);
    const QRect place = list.visualItemRect(item);
    QTest::mouseClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(place.left() + 20, place.center().y()));
}

std::vector<QStringList> HealthPanelSession::attributeRows()
{
    std::vector<QStringList> rows;
    for (int row = 0; row < attributeList().topLevelItemCount(); ++row)
        rows.push_back(attributeList().rowTexts(row));
    return rows;
}

std::vector<QStringList> HealthPanelSession::driveRows()
{
    std::vector<QStringList> rows;
    for (int row = 0; row < driveList().topLevelItemCount(); ++row)
        rows.push_back(driveList().rowTexts(row));
    return rows;
}

} // namespace orvel::test
