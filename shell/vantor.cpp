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
    : m_platform(platform), m_messageBoxes(messageBoxes), m_panels(std::move(panels))
{
}

CVantor::~CVantor()
{
    // The window refuses to close while an operation runs, so the last
    // worker has gone home and needs nothing of the GUI to end.
    m_pMainWnd.reset();
    OperationRun::finishLast();
    releaseOperationSlots();
    ClearInventory();
}

bool CVantor::InitInstance()
{
    m_hInstanceMutex = m_platform.system().acquireInstanceLock(kInstanceLockName);
    if (!m_hInstanceMutex) {
        m_messageBoxes.show({kAlreadyRunningText, kAlreadyRunningCaption, MessageIcon::Error, MessageButtons::Ok});
        return false;
    }

    m_pMainWnd = std::make_unique<CMainFrame>(m_platform, m_messageBoxes, m_panels);
    QObject::connect(m_pMainWnd.get(), &CMainFrame::aboutRequested, m_pMainWnd.get(), [this] { OnAppAbout(); });
    m_pMainWnd->show();
    return true;
}

void CVantor::OnAppAbout()
{
    CAboutDlg about(m_pMainWnd.get());
    about.exec();
}

} // namespace orvel
