#pragma once

#include "panels/panel_host.h"
#include "shell/panel_factory.h"

#include <QPointer>
#include <QWidget>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

namespace orvel {

// The panel host: fills the main window below its top strip and shows one
// panel at a time, replacing it when a panel or the worker asks. It also
// carries what tells the worker which copy to run: the loop, the operation,
// whether to verify and the rescue map.
//
// A switch hides the old panel and disables it at once, then creates the new
// one; the old widget itself is deleted when control returns to the event
// loop (deleteLater). The switch is asked for from inside the old panel (a
// button's click handler) or from the worker through a blocking call handled
// by the progress window; deleting at once would pull the widget out from
// under the handler that is still running, and would make the progress
// window's teardown wait for a worker that is itself waiting for this switch.
class CBaseWnd : public QWidget, public PanelHost {
    Q_OBJECT

public:
    CBaseWnd(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels, QWidget* parent = nullptr);

    // Shows the home panel; run once the host has its place.
    void OnCreate();

    // The panel shown now, or the one whose creation failed (then nothing is
    // shown); null before OnCreate.
    QWidget* currentPanel() const { return currentPanel_; }
    bool currentPanelCreated() const { return currentPanelCreated_; }
    // The progress window is shown: an operation runs (or is just ending).
    bool showsOperation() const;

    // Operation logs go to this folder instead of the platform's.
    void setLogDirectory(std::string folder) { logDirectory_ = std::move(folder); }

    void handlePanelMessage(std::uint32_t message) override;
    bool forwardCopy() const override { return forwardCopy_; }
    void setForwardCopy(bool forward) override { forwardCopy_ = forward; }
    OperationKind operationKind() const override { return operationKind_; }
    bool verifyAfterCopy() const override { return verifyAfterCopy_; }
    void setOperation(OperationKind kind, bool verify) override;
    void setMapSettings(MapSettings map) override { mapSettings_ = std::move(map); }
    MapSettings takeMapSettings() override { return std::exchange(mapSettings_, {}); }
    void closeMainWindow() override;
    QWidget* mainWindow() override { return window(); }
    Platform& platform() override { return platform_; }
    MessageBoxService& messageBoxes() override { return messageBoxes_; }
    std::string logDirectory() override;

signals:
    // WM_CLOSE_MAIN: the main window is to close without its check.
    void closeMainRequested();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Replaces the current panel by the one `message` names; false when its
    // creation failed.
    bool replacePanel(std::uint32_t message);
    void destroyCurrentPanel();

    Platform& platform_;
    MessageBoxService& messageBoxes_;
    PanelFactory panels_;
    std::optional<std::string> logDirectory_;

    QPointer<QWidget> currentPanel_;
    std::uint32_t currentPanelMessage_ = 0;  // the switch that made it
    bool currentPanelCreated_ = false;
    // Read by the worker's starter; nothing changes them while a copy runs.
    std::atomic<bool> forwardCopy_ = true;
    std::atomic<OperationKind> operationKind_ = OperationKind::Imaging;
    std::atomic<bool> verifyAfterCopy_ = false;
    MapSettings mapSettings_;  // GUI thread only
};

} // namespace orvel
