#include "shell/splash_wnd.h"

#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "panels/control_id.h"
#include "panels/panel_host.h"
#include "panels/panel_messages.h"

#include <QApplication>
#include <QPainter>

namespace orvel {

namespace {

const QColor kButtonFill(140, 191, 63);
const QColor kButtonText(255, 255, 255);

} // namespace

CSplashWnd::CSplashWnd(PanelHost& host, QWidget* parent) : QWidget(parent), host_(host)
{
}

void CSplashWnd::OnCreate()
{
    buttonFont = guiFont(kButtonFontHeight);
    picture_ = loadBitmapResource(kHomePictureId);

    imagingButton = makeButton(QStringLiteral("Imaging"), kImagingButtonId);
    cloningButton = makeButton(QStringLiteral("Cloning"), kCloningButtonId);
    restoreButton = makeButton(QStringLiteral("Restore"), kRestoreButtonId);
    healthButton = makeButton(QStringLiteral("Drive Health"), kHealthButtonId);
    placeButtons();
}

COrvelButton* CSplashWnd::makeButton(const QString& caption, int commandId)
{
    auto* button = new COrvelButton(caption, this);
    setControlId(*button, commandId);
    button->fontOverride_ = &buttonFont;
    button->customFill_ = true;
    button->fillColour_ = kButtonFill;
    button->imageId_ = 0;
    button->textColour_ = kButtonText;
    button->show();
    connect(button, &COrvelButton::clicked, this, [this, commandId] { OnCommand(commandId); });
    return button;
}

void CSplashWnd::OnCommand(int commandId)
{
    // Each switch destroys this panel: nothing of it is touched afterwards.
    switch (commandId) {
    case kImagingButtonId:
        host_.handlePanelMessage(WM_SHOW_IMAGING);
        return;
    case kCloningButtonId:
        host_.handlePanelMessage(WM_SHOW_CLONING);
        return;
    case kRestoreButtonId:
        host_.handlePanelMessage(WM_SHOW_RESTORE);
        return;
    case kHealthButtonId:
        host_.setForwardCopy(false);
        host_.handlePanelMessage(WM_SHOW_HEALTH);
        return;
    }
}

void CSplashWnd::resizeEvent(QResizeEvent*)
{
    placeButtons();
}

void CSplashWnd::placeButtons()
{
    int left = kButtonGap;
    for (COrvelButton* button : {imagingButton, cloningButton, restoreButton, healthButton}) {
        if (button != nullptr)
            button->setGeometry(left, kButtonTop, kButtonWidth, kButtonHeight);
        left += kButtonWidth + kButtonGap;
    }
}

void CSplashWnd::paintEvent(QPaintEvent*)
{
    const QRect target(0, 0, width(), height() - kPictureBottomMargin);
    if (picture_.isNull() || target.isEmpty())
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, picture_);
}

} // namespace orvel
