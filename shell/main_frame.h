#pragma once

#include "shell/panel_factory.h"

#include <QFont>
#include <QString>
#include <QWidget>

namespace orvel {

class CBaseWnd;
class COrvelButton;
class MessageBoxService;
class Platform;

// The program's only top-level window: a fixed-size window without a menu
// bar, a 30-pixel black strip along its top with the help button at the
// right end, and below it the panel host. It refuses to close while an
// operation runs.
class CMainFrame : public QWidget {
    Q_OBJECT

public:
    static constexpr int kClientWidth = 600;
    static constexpr int kClientHeight = 370;
    static constexpr int kStripHeight = 30;
    static constexpr int kHelpButtonId = 1003;
    static constexpr int kHelpFontHeight = 18;

    CMainFrame(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels,
               QWidget* parent = nullptr);

    // WM_CLOSE_MAIN: closes at once, without the running-operation check.
    void OnCloseMain();
    // Opens the user guide (see userGuidePath) with the user's handler.
    void OnHelp();

    CBaseWnd* host_ = nullptr;
    COrvelButton* helpButton_ = nullptr;
    QFont font_;

signals:
    // The operator asked for the About box (the help button's context menu).
    void aboutRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    MessageBoxService& messageBoxes_;
    bool closeWithoutCheck_ = false;
};

// The user guide's path for the executable's folder (see userGuidePath).
QString helpFilePath(const QString& executableFolder);

} // namespace orvel
