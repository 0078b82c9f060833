#pragma once

#include "engine/copy_worker.h"
#include "engine/message_box.h"
#include "platform/platform.h"

#include <cstdint>
#include <string>

class QWidget;

namespace orvel {

// The copy that WM_COPY_START runs.
enum class OperationKind {
    Imaging,  // a drive or volume into an image file
    Cloning,  // a drive or volume onto another
    Restore,  // an image file back onto a drive or volume
};

// What a panel may ask of the window that hosts it (the panel host in the
// program, a recorder in tests). Panels never create each other: they ask the
// host for the next panel with one of the switch messages.
class PanelHost {
public:
    virtual ~PanelHost() = default;

    // WM_SHOW_IMAGING, WM_SHOW_CLONING, WM_SHOW_RESTORE, WM_SHOW_HEALTH,
    // WM_SHOW_HOME or WM_COPY_START (panels/panel_messages.h). The host may
    // destroy the calling panel during this call, so the caller returns at
    // once afterwards.
    virtual void handlePanelMessage(std::uint32_t message) = 0;

    // Which loop the worker runs (true: forward).
    virtual bool forwardCopy() const = 0;
    virtual void setForwardCopy(bool forward) = 0;

    // The operation the worker runs and whether it reads the destination back
    // afterwards. Showing a set-up panel sets its kind without verification;
    // its Next tells both before asking for WM_COPY_START.
    virtual OperationKind operationKind() const = 0;
    virtual bool verifyAfterCopy() const = 0;
    virtual void setOperation(OperationKind kind, bool verify) = 0;

    // The rescue map the operation keeps, as its set-up panel chose it after
    // setOperation (which forgets an earlier choice, so a restore keeps
    // none). The worker's starter takes it, leaving none behind.
    virtual void setMapSettings(MapSettings map) = 0;
    virtual MapSettings takeMapSettings() = 0;

    // The destination is a drive or volume, prepared as a clone's (a volume
    // dismounted or locked) rather than an image file.
    bool cloningShown() const { return operationKind() != OperationKind::Imaging; }

    // WM_CLOSE_MAIN: the main window closes without asking.
    virtual void closeMainWindow() = 0;

    // The main window, which the inventory threads disable while they run.
    virtual QWidget* mainWindow() = 0;

    virtual Platform& platform() = 0;
    virtual MessageBoxService& messageBoxes() = 0;
    // Where operation logs go.
    virtual std::string logDirectory() = 0;
};

} // namespace orvel
