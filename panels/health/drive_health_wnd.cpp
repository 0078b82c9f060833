#include "panels/health/drive_health_wnd.h"

#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "controls/splitter_wnd_extnd.h"
#include "inventory/drive_inventory.h"
#include "panels/control_id.h"
#include "panels/health/gui_thread_call.h"
#include "panels/health/left_list_view.h"
#include "panels/health/right_list_view.h"
#include "panels/panel_host.h"
#include "panels/panel_messages.h"

#include <QApplication>
#include <QColor>
#include <QCoreApplication>
#include <QEvent>
#include <QPalette>
#include <QResizeEvent>
#include <QSize>

#include <chrono>
#include <memory>
#include <system_error>

namespace orvel {

namespace {

constexpr int kButtonFontPixels = 18;
const QColor kButtonFill(140, 191, 63);
const QColor kButtonText(255, 255, 255);
const QColor kBackground(255, 255, 255);

// Initial pane sizes (width x height): the drive list keeps its height, the
// attribute list takes the rest.
constexpr QSize kDriveListSize(250, 100);
constexpr QSize kAttributeListSize(100, 100);

// The strip below the splitter that holds the buttons.
constexpr int kButtonStripHeight = 70;
constexpr int kButtonTopAboveBottom = 60;
constexpr int kBackLeftOfRight = 110;
constexpr int kExitLeftOfRight = 55;
constexpr QSize kButtonSize(50, 25);

constexpr auto kThreadPollInterval = std::chrono::milliseconds(1);

} // namespace

CDriveHealthWnd::CDriveHealthWnd(PanelHost& panelHost, QWidget* parent) : QWidget(parent), host(panelHost)
{
    QPalette background = palette();
    background.setColor(QPalette::Window, kBackground);
    setPalette(background);
    setAutoFillBackground(true);
}

CDriveHealthWnd::~CDriveHealthWnd()
{
    waitForInventoryThread();
    // The buttons draw with buttonFont, so they go first; the lists go with the splitter.
    delete backButton;
    backButton = nullptr;
    delete exitButton;
    exitButton = nullptr;
    delete splitter;
    splitter = nullptr;
    driveList = nullptr;
}

bool CDriveHealthWnd::OnCreate()
{
    buttonFont = guiFont(kButtonFontPixels);

    splitter = new CSplitterWndExtnd(this);
    splitter->firstPaneClass_ = &CLeftListView::staticMetaObject;
    splitter->secondPaneClass_ = &CRightListView::staticMetaObject;
    auto drives = std::make_unique<CLeftListView>();
    if (!splitter->CreateView(0, 0, drives.get(), kDriveListSize))
        return false;
    auto attributes = std::make_unique<CRightListView>();
    if (!splitter->CreateView(1, 0, attributes.get(), kAttributeListSize))
        return false;
    // The splitter owns the panes now.
    driveList = drives.release();
    splitter->firstPane_ = driveList;
    splitter->secondPane_ = attributes.release();
    // Lists without a label of their own: screen readers need their names.
    driveList->setAccessibleName(QStringLiteral("Drives"));
    splitter->secondPane_->setAccessibleName(QStringLiteral("Attributes"));
    splitter->show();

    backButton = makeButton(QStringLiteral("Back"), kBackButtonId);
    connect(backButton, &COrvelButton::clicked, this, &CDriveHealthWnd::OnBack);
    exitButton = makeButton(QStringLiteral("Exit"), kExitButtonId);
    connect(exitButton, &COrvelButton::clicked, this, &CDriveHealthWnd::OnExit);

    layOut(width(), height());
    return startInventoryThread(*driveList);
}

COrvelButton* CDriveHealthWnd::makeButton(const QString& caption, int id)
{
    auto* button = new COrvelButton(caption, this);
    setControlId(*button, id);
    button->setGeometry(QRect());
    button->customFill_ = true;
    button->fillColour_ = kButtonFill;
    button->imageButton_ = true;
    button->imageId_ = 0;
    button->textColour_ = kButtonText;
    button->setFont(buttonFont);
    button->show();
    return button;
}

void CDriveHealthWnd::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    layOut(event->size().width(), event->size().height());
}

void CDriveHealthWnd::layOut(int cx, int cy)
{
    if (splitter != nullptr)
        splitter->setGeometry(0, 0, cx, cy - kButtonStripHeight);
    if (backButton != nullptr)
        backButton->setGeometry(QRect(QPoint(cx - kBackLeftOfRight, cy - kButtonTopAboveBottom), kButtonSize));
    if (exitButton != nullptr)
        exitButton->setGeometry(QRect(QPoint(cx - kExitLeftOfRight, cy - kButtonTopAboveBottom), kButtonSize));
}

bool CDriveHealthWnd::startInventoryThread(CLeftListView& list)
{
    platform = &host.platform();
    mainWindow = host.mainWindow();
    // Disabled here rather than on the thread, so that no click can slip in
    // before the thread gets going.
    if (mainWindow)
        mainWindow->setEnabled(false);
    try {
        inventoryThread = std::thread(&CDriveHealthWnd::HealthInventoryThread, this, &list);
    } catch (const std::system_error&) {
        if (mainWindow)
            mainWindow->setEnabled(true);
        return false;
    }
    return true;
}

void CDriveHealthWnd::HealthInventoryThread(CLeftListView* list)
{
    EnumeratePhysicalDrives(*platform, true);
    if (!abandoned)
        list->FillDriveList();
    callOnOwnerThread(*this, [this] {
        if (mainWindow)
            mainWindow->setEnabled(true);
    });
    inventoryDone = true;
}

void CDriveHealthWnd::waitForInventoryThread()
{
    if (!inventoryThread.joinable())
        return;
    abandoned = true;
    // The thread may be waiting for this thread to add a row or to run its
    // last call; deliver those here until it has ended.
    while (!inventoryDone) {
        QCoreApplication::sendPostedEvents(driveList, QEvent::MetaCall);
        QCoreApplication::sendPostedEvents(this, QEvent::MetaCall);
        std::this_thread::sleep_for(kThreadPollInterval);
    }
    inventoryThread.join();
}

void CDriveHealthWnd::forgetInventory()
{
    // The drive rows point at the inventory's records: they go first.
    if (driveList != nullptr)
        driveList->clear();
    ClearInventory();
}

void CDriveHealthWnd::OnBack()
{
    forgetInventory();
    // The host destroys this panel during the call.
    host.handlePanelMessage(WM_SHOW_HOME);
}

void CDriveHealthWnd::OnExit()
{
    forgetInventory();
    host.closeMainWindow();
}

} // namespace orvel
