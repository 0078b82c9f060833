#pragma once

class QWidget;

namespace orvel {

// Gives a list pane the system's "Explorer" list look where the system has a
// theme library (Windows, UxTheme). Where the library cannot be loaded, as on
// Linux, it stops there and the list keeps the look of the application style.
// Both list panes call it when they are made.
void ApplyExplorerTheme(QWidget& list);

} // namespace orvel
