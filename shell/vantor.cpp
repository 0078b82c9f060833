#include "shell/vantor.h"

#include "engine/message_box.h"
#include "engine/operation_slots.h"
#include "inventory/drive_inventory.h"
#include "panels/operation_run.h"
#include "platform/platform.h"
#include "shell/about_dlg.h"
#include "shell/main_frame.h"

namespace orvel {

CVantor::CVantor(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels)
    : platform_(platform), messageBoxes_(messageBoxes), panels_(std::move(panels))
{
}

CVantor::~CVantor()
{
    // The window refuses to close while an operation runs, so the last
    // worker has gone home and needs nothing of the GUI to end.
    mainFrame_.reset();
    OperationRun::finishLast();
    releaseOperationSlots();
    ClearInventory();
}

bool CVantor::InitInstance()
{
    instanceLock_ = platform_.system().acquireInstanceLock(kInstanceLockName);
    if (!instanceLock_) {
        messageBoxes_.show({kAlreadyRunningText, kAlreadyRunningCaption, MessageIcon::Error, MessageButtons::Ok});
        return false;
    }

    mainFrame_ = std::make_unique<CMainFrame>(platform_, messageBoxes_, panels_);
    QObject::connect(mainFrame_.get(), &CMainFrame::aboutRequested, mainFrame_.get(), [this] { OnAppAbout(); });
    mainFrame_->show();
    return true;
}

void CVantor::OnAppAbout()
{
    CAboutDlg about(mainFrame_.get());
    about.exec();
}

} // namespace orvel
