#include "shell/panel_factory.h"

#include "panels/cloning_wnd.h"
#include "panels/health/drive_health_wnd.h"
#include "panels/imaging_wnd.h"
#include "panels/panel_messages.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"
#include "shell/splash_wnd.h"

namespace orvel {

namespace {

// Panels that make everything they need in their constructor cannot fail.
PanelUnderConstruction madeWhole(QWidget* panel)
{
    return {panel, [] { return true; }};
}

} // namespace

PanelFactory programPanels()
{
    return [](std::uint32_t message, PanelHost& host, QWidget& parent) -> PanelUnderConstruction {
        switch (message) {
        case WM_SHOW_HOME: {
            auto* home = new CSplashWnd(host, &parent);
            return {home, [home] {
                        home->OnCreate();
                        return true;
                    }};
        }
        case WM_SHOW_IMAGING:
            return madeWhole(new CImagingWnd(host, &parent));
        case WM_SHOW_CLONING:
            return madeWhole(new CCloningWnd(host, &parent));
        case WM_SHOW_RESTORE:
            return madeWhole(new CRestoreWnd(host, &parent));
        case WM_SHOW_HEALTH: {
            auto* health = new CDriveHealthWnd(host, &parent);
            return {health, [health] { return health->OnCreate(); }};
        }
        case WM_COPY_START:
            return madeWhole(new CProgressWnd(host, &parent));
        }
        return {};
    };
}

} // namespace orvel
