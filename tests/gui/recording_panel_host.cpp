#include "tests/gui/recording_panel_host.h"

#include "inventory/drive_inventory.h"
#include "panels/cloning_wnd.h"
#include "panels/imaging_wnd.h"
#include "panels/operation_run.h"
#include "panels/panel_messages.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"

#include <QDesktopServices>

#include <utility>

namespace orvel::test {

RecordingPanelHost::RecordingPanelHost(Platform& platform, MessageBoxService& messageBoxes, std::string logDirectory)
    : platform_(platform), messageBoxes_(&messageBoxes), logDirectory_(std::move(logDirectory))
{
    QDesktopServices::setUrlHandler(QStringLiteral("file"), &opened_, "open");
    window_.setFixedSize(600, 370);
    window_.show();
}

RecordingPanelHost::~RecordingPanelHost()
{
    defersDeletion = false;
    closePanel();
    OperationRun::finishLast();
    QDesktopServices::unsetUrlHandler(QStringLiteral("file"));
}

void RecordingPanelHost::closePanel()
{
    QWidget* old = current_.data();
    current_ = nullptr;
    if (old != nullptr && defersDeletion) {
        old->hide();
        old->deleteLater();
        return;
    }
    delete old;
}

void RecordingPanelHost::handlePanelMessage(std::uint32_t message)
{
    messages.push_back(message);
    if (!switchesPanels)
        return;
    switch (message) {
    case WM_SHOW_HOME:
        ClearInventory();
        closePanel();
        break;
    case WM_COPY_START:
        show<CProgressWnd>();
        break;
    case WM_SHOW_CLONING:
        setOperation(OperationKind::Cloning, false);
        show<CCloningWnd>();
        break;
    case WM_SHOW_IMAGING:
        setOperation(OperationKind::Imaging, false);
        show<CImagingWnd>();
        break;
    case WM_SHOW_RESTORE:
        setOperation(OperationKind::Restore, false);
        show<CRestoreWnd>();
        break;
    default:
        break;
    }
}

} // namespace orvel::test
