#pragma once

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <atomic>
#include <thread>

class QResizeEvent;

namespace orvel {

class CLeftListView;
class COrvelButton;
class CSplitterWndExtnd;
class PanelHost;
class Platform;

// The drive health panel: the machine's physical drives above, the
// S.M.A.R.T. attributes of the drive the operator clicks below, "Back" and
// "Exit" at the bottom right. When made it takes a fresh inventory of the
// drives on a thread of its own, with the main window disabled until the
// drive list is filled.
class CDriveHealthWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int kBackButtonId = 4001;
    static constexpr int kExitButtonId = 4002;

    CDriveHealthWnd(PanelHost& host, QWidget* parent);
    // Waits for the inventory thread if it still runs.
    ~CDriveHealthWnd() override;

    // Makes the font, the splitter with both lists and the buttons, then
    // starts the inventory thread. Called once by the host after
    // construction; false when a part cannot be made (the panel then stays
    // empty and takes no inventory).
    bool OnCreate();

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    COrvelButton* makeButton(const QString& caption, int id);
    void layOut(int cx, int cy);
    bool startInventoryThread(CLeftListView& list);
    void HealthInventoryThread(CLeftListView* list);
    void waitForInventoryThread();
    void forgetInventory();
    void OnBack();
    void OnExit();

    PanelHost& host;
    CSplitterWndExtnd* splitter = nullptr;
    COrvelButton* exitButton = nullptr;
    COrvelButton* backButton = nullptr;
    QFont buttonFont;

    // Read by the inventory thread; set before it starts.
    Platform* platform = nullptr;
    CLeftListView* driveList = nullptr;
    // Touched on the GUI thread only.
    QPointer<QWidget> mainWindow;
    std::thread inventoryThread;
    std::atomic<bool> inventoryDone{false};
    // The panel is going away: the thread adds no more rows.
    std::atomic<bool> abandoned{false};
};

} // namespace orvel
