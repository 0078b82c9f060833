#pragma once

#include "shell/panel_factory.h"

#include <memory>

namespace orvel {

class CMainFrame;
class InstanceLock;
class MessageBoxService;
class Platform;

inline constexpr char kInstanceLockName[] = "Orvel Disk Imager";
inline constexpr char kAlreadyRunningText[] = "An Instance of this application is already running.";
inline constexpr char kAlreadyRunningCaption[] = "Warning";

// The application: refuses a second running instance, makes and shows the
// main window, answers the About command, and at its end releases what an
// operation or the drive inventory may still hold.
class CVantor {
public:
    CVantor(Platform& platform, MessageBoxService& messageBoxes, PanelFactory panels);
    CVantor(const CVantor&) = delete;
    CVantor& operator=(const CVantor&) = delete;
    ~CVantor();

    // Start-up, before the event loop. False when the process is to end at
    // once: another instance runs (the operator has been told).
    bool InitInstance();

    // Shows the About box and waits until it is closed.
    void OnAppAbout();

    // The main window; null before start-up and after a refused one.
    CMainFrame* mainWindow() const { return mainFrame_.get(); }

private:
    Platform& platform_;
    MessageBoxService& messageBoxes_;
    PanelFactory panels_;
    // Held until the process ends; the kernel lets go of it even after a crash.
    std::unique_ptr<InstanceLock> instanceLock_;
    std::unique_ptr<CMainFrame> mainFrame_;
};

} // namespace orvel
