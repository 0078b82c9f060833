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
    : QWidget(parent), messageBoxes_(messageBoxes)
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

    font_ = guiFont(kHelpFontHeight);

    helpButton_ = new COrvelButton(QString(), this);
    setControlId(*helpButton_, kHelpButtonId);
    helpButton_->customFill_ = true;
    helpButton_->fillColour_ = kStripColour;
    helpButton_->imageButton_ = true;
    helpButton_->imageId_ = kHelpImageId;
    helpButton_->textColour_ = kHelpButtonText;
    helpButton_->setFont(font_);
    helpButton_->layout_ |= LAYOUT_IMAGE_TOP_LEFT;
    // The button shows only an image: screen readers need its name.
    helpButton_->setAccessibleName(QStringLiteral("Help"));
    connect(helpButton_, &COrvelButton::clicked, this, &CMainFrame::OnHelp);

    // Nothing on the window issues the application's About command but this
    // menu, kept out of the way on the help button.
    auto* aboutAction = new QAction(QStringLiteral("About Vantor..."), helpButton_);
    connect(aboutAction, &QAction::triggered, this, &CMainFrame::aboutRequested);
    helpButton_->addAction(aboutAction);
    helpButton_->setContextMenuPolicy(Qt::ActionsContextMenu);

    host_ = new CBaseWnd(platform, messageBoxes, std::move(panels), this);
    connect(host_, &CBaseWnd::closeMainRequested, this, &CMainFrame::OnCloseMain);
    host_->setGeometry(0, kStripHeight, width(), height());
    helpButton_->setGeometry(width() - kStripHeight, 0, kStripHeight, kStripHeight);
    host_->OnCreate();
}

void CMainFrame::resizeEvent(QResizeEvent*)
{
    // The host is as tall as the whole client area, so its lowest strip lies
    // below the window and is never seen.
    helpButton_->setGeometry(width() - kStripHeight, 0, kStripHeight, kStripHeight);
    host_->setGeometry(0, kStripHeight, width(), height());
}

void CMainFrame::closeEvent(QCloseEvent* event)
{
    if (!closeWithoutCheck_ && host_->showsOperation()) {
        // The operator stops the operation with its Cancel button and closes again.
        event->ignore();
        messageBoxes_.show({kOperationRunningText, kOperationRunningCaption, MessageIcon::Information,
                             MessageButtons::Ok});
        return;
    }
    event->accept();
}

void CMainFrame::OnCloseMain()
{
    closeWithoutCheck_ = true;
    close();
}

void CMainFrame::OnHelp()
{
    // A missing file or handler gives no message of the window's own.
    QDesktopServices::openUrl(QUrl::fromLocalFile(helpFilePath(QCoreApplication::applicationDirPath())));
}

} // namespace orvel
