#include "shell/application.h"

#include "controls/gui_font.h"
#include "controls/resource_lookup.h"
#include "panels/qt_message_box_service.h"
#include "platform/choose_platform.h"
#include "shell/application_options.h"
#include "shell/base_wnd.h"
#include "shell/main_frame.h"
#include "shell/panel_factory.h"
#include "shell/terminal_message_boxes.h"
#include "shell/vantor.h"

#include <QApplication>

#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

namespace orvel {

namespace {

constexpr int kExitRefused = 1;
constexpr int kExitUsage = 2;

constexpr char kDesktopFileName[] = "org.orvel.disk-image";
constexpr char kErrorCaption[] = "Error";

bool messageBoxesCanBeSeen()
{
    const QString platform = QGuiApplication::platformName();
    return platform != QStringLiteral("offscreen") && platform != QStringLiteral("minimal");
}

// QApplication has taken its own options out of argv by now.
std::vector<std::string> programArguments(int argc, char** argv)
{
    std::vector<std::string> arguments;
    for (int at = 1; at < argc; ++at)
        arguments.emplace_back(argv[at]);
    return arguments;
}

// Without a display Qt aborts with a message about its plugins; a rescue run
// over SSH meets that first. A chosen Qt platform (QT_QPA_PLATFORM) is left to Qt.
bool displayReachable()
{
#ifdef __linux__
    for (const char* name : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"}) {
        const char* value = std::getenv(name);
        if (value != nullptr && *value != '\0')
            return true;
    }
    return false;
#else
    return true;
#endif
}

} // namespace

int runApplication(int argc, char** argv)
{
    if (!displayReachable()) {
        std::cerr << "No display for the desktop program (neither DISPLAY nor WAYLAND_DISPLAY is set): use the "
                     "command line (orvel-disk-image --help), or start it under a virtual display, such as "
                     "xvfb-run orvel-disk-image --demo.\n";
        return kExitRefused;
    }
    QApplication application(argc, argv);
    useStockGuiFace();
    // Ties the window to the installed desktop entry (taskbar, icon).
    QGuiApplication::setDesktopFileName(QString::fromUtf8(kDesktopFileName));
    QApplication::setWindowIcon(loadIconResource(kApplicationIconId));

    const ParsedApplicationOptions parsed = parseApplicationOptions(programArguments(argc, argv));
    if (!parsed.options) {
        std::cerr << parsed.error << '\n';
        return kExitUsage;
    }

    QtMessageBoxService visibleBoxes;
    TerminalMessageBoxes terminalBoxes(std::cerr);
    const bool boxesVisible = messageBoxesCanBeSeen();
    MessageBoxService& messageBoxes = boxesVisible ? static_cast<MessageBoxService&>(visibleBoxes) : terminalBoxes;

    std::string error;
    const std::unique_ptr<Platform> platform = choosePlatform(parsed.options->demoScenario, error);
    if (!platform) {
        messageBoxes.show({error, kErrorCaption, MessageIcon::Error, MessageButtons::Ok});
        return kExitRefused;
    }

    CVantor vantor(*platform, messageBoxes, programPanels());
    if (!vantor.InitInstance())
        return kExitRefused;
    if (boxesVisible)
        visibleBoxes.setOwner(vantor.mainWindow());
    if (const std::optional<std::string>& logs = parsed.options->logDirectory) {
        // Absolute, so that the finished log opens by its path.
        std::error_code failure;
        const std::filesystem::path folder = std::filesystem::absolute(*logs, failure);
        vantor.mainWindow()->host_->setLogDirectory(failure ? *logs : folder.string());
    }
    return application.exec();
}

} // namespace orvel
