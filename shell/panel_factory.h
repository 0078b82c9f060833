#pragma once

#include <cstdint>
#include <functional>

class QWidget;

namespace orvel {

class PanelHost;

// A panel made for a switch but not created yet: the widget, already a
// child of the host, and its creation step, which is false when the panel
// could not be created.
struct PanelUnderConstruction {
    QWidget* panel = nullptr;
    std::function<bool()> create;
};

// Makes the panel a switch message asks for (WM_SHOW_HOME gives the home
// panel); a message that names no panel gives no widget.
using PanelFactory =
    std::function<PanelUnderConstruction(std::uint32_t message, PanelHost& host, QWidget& parent)>;

// The program's own six panels.
PanelFactory programPanels();

} // namespace orvel
