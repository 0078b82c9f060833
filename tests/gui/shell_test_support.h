#pragma once

// What the shell's tests share: a host or main window on simulated drives
// with scripted message boxes, a stand-in for the user's file handler, and
// stand-in panels for the switches a test does not need real panels for.
#include "engine/message_box.h"
#include "panels/panel_host.h"
#include "panels/panel_messages.h"
#include "shell/panel_factory.h"
#include "shell/splash_wnd.h"
#include "support/recording_observer.h"
#include "support/sim_platform_fixture.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QEvent>
#include <QList>
#include <QObject>
#include <QUrl>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <set>
#include <vector>

namespace orvel::test {

// Deletes the panels the host has let go of, as the event loop would.
inline void deleteReleasedPanels()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// The host's child panels, after released ones are gone.
inline QList<QWidget*> childPanels(QWidget& host)
{
    deleteReleasedPanels();
    return host.findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
}

// Takes over file URLs (the help file, the logs) for as long as it lives, so
// that no test starts the user's real handler.
class OpenedFiles : public QObject {
    Q_OBJECT

public:
    OpenedFiles();
    ~OpenedFiles() override;

    std::vector<QUrl> urls;

public slots:
    void open(const QUrl& url) { urls.push_back(url); }
};

// A panel for a switch whose real panel a test does not need.
class StandInPanel : public QWidget {
public:
    StandInPanel(std::uint32_t switchMessage, QWidget* parent) : QWidget(parent), message(switchMessage) {}
    const std::uint32_t message;
};

// The real home panel, and stand-ins for the other switches. Each creation
// first runs `onCreate` (with the message), so a test can look at the host
// while the new panel is being made.
struct StandInPanels {
    std::set<std::uint32_t> failing;  // switches whose creation fails
    std::function<void(std::uint32_t)> onCreate;

    PanelFactory factory()
    {
        return [this](std::uint32_t message, PanelHost& host, QWidget& parent) -> PanelUnderConstruction {
            if (message == WM_SHOW_HOME) {
                auto* home = new CSplashWnd(host, &parent);
                return {home, [this, home] {
                            if (onCreate)
                                onCreate(WM_SHOW_HOME);
                            home->OnCreate();
                            return !failing.contains(WM_SHOW_HOME);
                        }};
            }
            auto* panel = new StandInPanel(message, &parent);
            return {panel, [this, message] {
                        if (onCreate)
                            onCreate(message);
                        return !failing.contains(message);
                    }};
        };
    }
};

} // namespace orvel::test
