#include "shell/base_wnd.h"

#include "inventory/drive_inventory.h"
#include "panels/panel_messages.h"

#include <QPalette>

namespace orvel {

CBaseWnd::CBaseWnd(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels, QWidget* parent)
    : QWidget(parent), m_platform(platform), m_messageBoxes(messageBoxes), m_panels(std::move(panels))
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
        m_cloningShown = false;
        replacePanel(message);
        return;
    case WM_SHOW_CLONING:
        m_cloningShown = true;
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

bool CBaseWnd::replacePanel(std::uint32_t message)
{
    destroyCurrentPanel();
    PanelUnderConstruction next = m_panels(message, *this, *this);
    if (next.panel == nullptr)
        return false;
    m_currentPanel = next.panel;
    m_currentPanelMessage = message;
    m_currentPanelCreated = next.create();
    if (!m_currentPanelCreated) {
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
    return m_currentPanel != nullptr && m_currentPanelCreated && m_currentPanelMessage == WM_COPY_START;
}

void CBaseWnd::destroyCurrentPanel()
{
    QWidget* old = m_currentPanel;
    m_currentPanel = nullptr;
    m_currentPanelMessage = 0;
    m_currentPanelCreated = false;
    if (old == nullptr)
        return;
    old->hide();
    old->setEnabled(false);
    old->deleteLater();
}

void CBaseWnd::resizeEvent(QResizeEvent*)
{
    if (m_currentPanel != nullptr)
        m_currentPanel->setGeometry(rect());
}

void CBaseWnd::closeMainWindow()
{
    emit closeMainRequested();
}

std::string CBaseWnd::logDirectory()
{
    return m_logDirectory ? *m_logDirectory : m_platform.system().logDirectory();
}

} // namespace orvel
