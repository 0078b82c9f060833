#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

namespace orvel {

class COrvelButton;
class PanelHost;

// The home panel: the home picture with the four buttons from which the
// operator chooses what to do. The host destroys it while handling any of
// the four buttons' switches.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    // Command ids of the four buttons.
    static constexpr int kImagingButtonId = 1000;
    static constexpr int kCloningButtonId = 1001;
    static constexpr int kHealthButtonId = 1002;
    static constexpr int kRestoreButtonId = 1003;

    // The buttons keep their places whatever the panel's size: four of one
    // size across the 600-pixel panel, with margins as wide as the gaps.
    static constexpr int kButtonWidth = 130;
    static constexpr int kButtonHeight = 50;
    static constexpr int kButtonTop = 260;
    static constexpr int kButtonGap = 16;

    // The picture leaves this strip at the bottom to the white background.
    static constexpr int kPictureBottomMargin = 30;
    static constexpr int kButtonFontHeight = 22;

    CSplashWnd(PanelHost& host, QWidget* parent);

    // Makes the font and the four buttons.
    void OnCreate();

    COrvelButton* imagingButton = nullptr;
    COrvelButton* cloningButton = nullptr;
    COrvelButton* restoreButton = nullptr;
    COrvelButton* healthButton = nullptr;
    QFont buttonFont;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    COrvelButton* makeButton(const QString& caption, int commandId);
    void placeButtons();
    void OnCommand(int commandId);

    PanelHost& host_;
    QImage picture_;
};

} // namespace orvel
