#pragma once

#include <QFont>
#include <QImage>
#include <QWidget>

namespace orvel {

class COrvelButton;
class PanelHost;

// The home panel: the home picture with the three buttons from which the
// operator chooses what to do. The host destroys it while handling any of
// the three buttons' switches.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    // Command ids of the three buttons.
    static constexpr int kImagingButtonId = 1000;
    static constexpr int kCloningButtonId = 1001;
    static constexpr int kHealthButtonId = 1002;

    // The buttons keep their places whatever the panel's size.
    static constexpr int kButtonWidth = 135;
    static constexpr int kButtonHeight = 50;
    static constexpr int kButtonTop = 260;
    static constexpr int kImagingButtonLeft = 35;
    static constexpr int kCloningButtonLeft = 228;
    static constexpr int kHealthButtonLeft = 415;

    // The picture leaves this strip at the bottom to the white background.
    static constexpr int kPictureBottomMargin = 30;
    static constexpr int kButtonFontHeight = 22;

    CSplashWnd(PanelHost& host, QWidget* parent);

    // Makes the font and the three buttons.
    void OnCreate();

    COrvelButton* imagingButton = nullptr;
    COrvelButton* cloningButton = nullptr;
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
