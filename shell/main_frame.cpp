#include "shell/main_frame.h"

#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "engine/message_box.h"
#include "panels/control_id.h"
#include "shell/about_texts.h"
#include "shell/base_wnd.h"
#include "shell/user_guide_path.h"

#include <QAction>
#include <QApplication>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QPalette>
#include <QUrl>

namespace orvel {

namespace {

constexpr char kOperationRunningText[] =
    "Are you sure? An operation is in progress. Press cancel button for terminate the operation.";
constexpr char kOperationRunningCaption[] = "Warning";

const QColor kStripColour(0, 0, 0);
const QColor kHelpButtonText(255, 255, 255);

} // namespace

QString helpFilePath(const QString& executableFolder)
{
    return QString::fromStdString(userGuidePath(executableFolder.toStdString()).string());
}

CMainFrame::CMainFrame(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels, QWidget* parent)
    : QWidget(parent), m_messageBoxes(messageBoxes)
{
    // Caption, system menu and minimise box only: the size never changes.
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                   Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint);
    setFixedSize(kClientWidth, kClientHeight);
    setWindowTitle(QString::fromUtf8(kApplicationTitle));
    setWindowIcon(loadIconResource(kApplicationIconId));
    QPalette background = palette();
    background.setColor(QPalette::Window, kStripColour);
    setPalette(background);
    setAutoFillBackground(true);

    m_pFont = guiFont(kHelpFontHeight);

    m_pHelpButton = new COrvelButton(QString(), this);
    setControlId(*m_pHelpButton, kHelpButtonId);
    m_pHelpButton->m_bCustomFill = true;
    m_pHelpButton->m_crFill = kStripColour;
    m_pHelpButton->m_bImageButton = true;
    m_pHelpButton->m_nImageId = kHelpImageId;
    m_pHelpButton->m_crText = kHelpButtonText;
    m_pHelpButton->setFont(m_pFont);
    m_pHelpButton->m_nLayout |= LAYOUT_IMAGE_TOP_LEFT;
    // The button shows only an image: screen readers need its name.
    m_pHelpButton->setAccessibleName(QStringLiteral("Help"));
    connect(m_pHelpButton, &COrvelButton::clicked, this, &CMainFrame::OnHelp);

    // Nothing on the window issues the application's About command but this
    // menu, kept out of the way on the help button.
    auto* aboutAction = new QAction(QStringLiteral("About Vantor..."), m_pHelpButton);
    connect(aboutAction, &QAction::triggered, this, &CMainFrame::aboutRequested);
    m_pHelpButton->addAction(aboutAction);
    m_pHelpButton->setContextMenuPolicy(Qt::ActionsContextMenu);

    m_pHost = new CBaseWnd(platform, messageBoxes, std::move(panels), this);
    connect(m_pHost, &CBaseWnd::closeMainRequested, this, &CMainFrame::OnCloseMain);
    m_pHost->setGeometry(0, kStripHeight, width(), height());
    m_pHelpButton->setGeometry(width() - kStripHeight, 0, kStripHeight, kStripHeight);
    m_pHost->OnCreate();
}

void CMainFrame::resizeEvent(QResizeEvent*)
{
    // The host is as tall as the whole client area, so its lowest strip lies
    // below the window and is never seen.
    m_pHelpButton->setGeometry(width() - kStripHeight, 0, kStripHeight, kStripHeight);
    m_pHost->setGeometry(0, kStripHeight, width(), height());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!m_closeWithoutCheck && m_pHost->showsOperation()) {
        // The operator stops the operation with its Cancel button and closes again.
        event->ignore();
        m_messageBoxes.show({kOperationRunningText, kOperationRunningCaption, MessageIcon::Information,
                             MessageButtons::Ok});
        return;
    }
    event->accept();
}

void CMainFrame::OnCloseMain()
{
    m_closeWithoutCheck = true;
    close();
}

void CMainFrame::OnHelp()
{
    // A missing file or handler gives no message of the window's own.
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFilePath(QCoreApplication::applicationDirPath())));
}

} // namespace orvel
