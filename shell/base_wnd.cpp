#include "shell/base_wnd.h"

#include "inventory/drive_inventory.h"
#include "panels/panel_messages.h"

#include <QPalette>

namespace orvel {

CBaseWnd::CBaseWnd(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels, QWidget* parent)
    : QWidget(parent), platform_(platform), messageBoxes_(messageBoxes), panels_(std::move(panels))
{
    // The white background every panel shows where it paints nothing.
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::white);
    setPalette(background);
    setAutoFillBackground(true);
}

void CBaseWnd::OnCreate()
{
    destroyCurrentPanel();
    replacePanel(WM_SHOW_HOME);
}

void CBaseWnd::handlePanelMessage(std::uint32_t message)
{
    switch (message) {
    case WM_SHOW_IMAGING:
        setOperation(OperationKind::Imaging, false);
        replacePanel(message);
        return;
    case WM_SHOW_CLONING:
        setOperation(OperationKind::Cloning, false);
        replacePanel(message);
        return;
    case WM_SHOW_RESTORE:
        setOperation(OperationKind::Restore, false);
        replacePanel(message);
        return;
    case WM_SHOW_HEALTH:
    case WM_COPY_START:
        replacePanel(message);
        return;
    case WM_SHOW_HOME:
        ClearInventory();
        replacePanel(message);
        return;
    }
}

void CBaseWnd::setOperation(OperationKind kind, bool verify)
{
    operationKind_ = kind;
    verifyAfterCopy_ = verify;
    mapSettings_ = {};
}

bool CBaseWnd::replacePanel(std::uint32_t message)
{
    destroyCurrentPanel();
    PanelUnderConstruction next = panels_(message, *this, *this);
    if (next.panel == nullptr)
        return false;
    currentPanel_ = next.panel;
    currentPanelMessage_ = message;
    currentPanelCreated_ = next.create();
    if (!currentPanelCreated_) {
        // Shows nothing until the next switch replaces it.
        next.panel->hide();
        return false;
    }
    next.panel->setGeometry(rect());
    next.panel->show();
    return true;
}

bool CBaseWnd::showsOperation() const
{
    // A progress window that failed to create started no operation; it must
    // not keep the program from closing.
    return currentPanel_ != nullptr && currentPanelCreated_ && currentPanelMessage_ == WM_COPY_START;
}

void CBaseWnd::destroyCurrentPanel()
{
    QWidget* old = currentPanel_;
    currentPanel_ = nullptr;
    currentPanelMessage_ = 0;
    currentPanelCreated_ = false;
    if (old == nullptr)
        return;
    old->hide();
    old->setEnabled(false);
    old->deleteLater();
}

void CBaseWnd::resizeEvent(QResizeEvent*)
{
    if (currentPanel_ != nullptr)
        currentPanel_->setGeometry(rect());
}

void CBaseWnd::closeMainWindow()
{
    emit closeMainRequested();
}

std::string CBaseWnd::logDirectory()
{
    return logDirectory_ ? *logDirectory_ : platform_.system().logDirectory();
}

} // namespace orvel
