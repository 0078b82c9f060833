#pragma once

// The drive health panel on simulated drives, with a host that records what
// the panel asks of it.
#include "engine/message_box.h"
#include "panels/health/drive_health_wnd.h"
#include "panels/health/left_list_view.h"
#include "panels/health/right_list_view.h"
#include "panels/panel_host.h"
#include "platform/sim/sim_drive_setup.h"
#include "support/sim_platform_fixture.h"

#include <QString>
#include <QStringList>
#include <QTreeWidget>
#include <QWidget>

#include <array>
#include <cstddef>
#include <cstdint>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

// Cell texts in failure messages as text rather than bytes.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace orvel::test {

// The health panel shows no message boxes; one asked for fails the test.
class NoMessageBoxes : public MessageBoxService {
public:
    MessageAnswer show(const MessageRequest& request) override;
};

// A host whose main window is a plain widget and which records each request
// with the number of inventory records left at that moment.
class RecordingHealthHost : public PanelHost {
public:
    struct Request {
        std::uint32_t message;  // WM_CLOSE_MAIN for closeMainWindow
        std::size_t physicalDrivesLeft;
        std::size_t volumesLeft;
    };

    explicit RecordingHealthHost(Platform& platform) : platform_(platform) {}

    void handlePanelMessage(std::uint32_t message) override;
    bool forwardCopy() const override { return forwardCopy_; }
    void setForwardCopy(bool forward) override { forwardCopy_ = forward; }
    OperationKind operationKind() const override { return OperationKind::Imaging; }
    bool verifyAfterCopy() const override { return false; }
    void setOperation(OperationKind, bool) override {}
    void setMapSettings(MapSettings) override {}
    MapSettings takeMapSettings() override { return {}; }
    void closeMainWindow() override;
    QWidget* mainWindow() override { return &window; }
    Platform& platform() override { return platform_; }
    MessageBoxService& messageBoxes() override { return messageBoxes_; }
    std::string logDirectory() override { return {}; }

    QWidget window;  // stands for the main window; the panel fills it
    std::vector<Request> requests;

private:
    Platform& platform_;
    NoMessageBoxes messageBoxes_;
    bool forwardCopy_ = true;
};

// One attribute of a simulated drive's S.M.A.R.T. tables.
struct SimAttribute {
    std::uint8_t id;
    std::uint8_t current;
    std::uint8_t worst;
    std::uint8_t threshold;
    std::array<std::uint8_t, 6> raw;  // least significant byte first
};

// A drive on the IDE bus that answers S.M.A.R.T. with these attributes, in
// this table order.
SimDriveSetup smartDrive(const std::string& model, const std::vector<SimAttribute>& attributes);

// A drive with a model, a serial number and a size and nothing else.
SimDriveSetup plainDrive(const std::string& model, std::uint64_t sizeBytes = 512ull * 1024 * 1024);

// A health panel of 600 x 370 in a shown main window, created and with its
// inventory taken. Destroying it destroys the panel and empties the inventory.
class HealthPanelSession {
public:
    explicit HealthPanelSession(std::vector<SimDriveSetup> drives);
    ~HealthPanelSession();
    HealthPanelSession(const HealthPanelSession&) = delete;
    HealthPanelSession& operator=(const HealthPanelSession&) = delete;

    // The panel was created and its drive list filled.
    bool ready() const { return ready_; }

    CDriveHealthWnd& panel() { return *panel_; }
    RecordingHealthHost& host() { return *host_; }
    CLeftListView& driveList();
    CRightListView& attributeList();

    // The row of the drive list with this label; -1 when there is none.
    int driveRow(const QString& label);
    // A mouse click on the drive list's row with this label.
    void clickDrive(const QString& label);
    // The texts of every row of the attribute list, top to bottom.
    std::vector<QStringList> attributeRows();
    // The texts of every row of the drive list, top to bottom.
    std::vector<QStringList> driveRows();

private:
    SimPlatformFixture simulation_;
    std::unique_ptr<RecordingHealthHost> host_;
    CDriveHealthWnd* panel_ = nullptr;
    bool ready_ = false;
};

// Every column of `list` ends within it, with room left for the vertical
// scroll bar where it does not show yet: nothing needs a sideways scroll.
void expectColumnsWithinList(const QTreeWidget& list);

// Waits until the main window is enabled again, which the inventory thread
// does last. False when that does not happen.
bool waitForInventory(QWidget& mainWindow);

} // namespace orvel::test
