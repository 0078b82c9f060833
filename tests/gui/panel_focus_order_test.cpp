// Keyboard and screen readers on every panel: Tab goes through the controls
// in the order they are read, and each control has a name to be read out.
#include "tests/gui/panel_states.h"

#include <QAccessible>
#include <QProgressBar>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace orvel::test {
namespace {

using ::testing::IsEmpty;

// The panel's controls that Tab stops at, in the order it does.
std::vector<QWidget*> tabStops(QWidget& panel)
{
    std::vector<QWidget*> stops;
    for (QWidget* next = panel.nextInFocusChain(); next != &panel; next = next->nextInFocusChain()) {
        if (!panel.isAncestorOf(next))
            continue;
        // A control's inner part hands its focus to the control.
        if (next->isVisible() && (next->focusPolicy() & Qt::TabFocus) && next->focusProxy() == nullptr)
            stops.push_back(next);
        if (stops.size() > 100)
            break;
    }
    return stops;
}

std::string describe(const QWidget& control, const QWidget& panel)
{
    const QPoint at = control.mapTo(&panel, QPoint(0, 0));
    return QStringLiteral("%1 \"%2\" at (%3, %4)")
        .arg(control.metaObject()->className(), control.accessibleName())
        .arg(at.x())
        .arg(at.y())
        .toStdString();
}

class PanelFocusOrder : public PanelStates, public ::testing::WithParamInterface<PanelState> {};

TEST_P(PanelFocusOrder, TabFollowsTheReadingOrderAndEveryControlHasAName)
{
    QWidget& panel = GetParam().show(*this);
    const std::vector<QWidget*> stops = tabStops(panel);
    ASSERT_FALSE(stops.empty());

    std::vector<std::string> outOfOrder;
    for (std::size_t n = 1; n < stops.size(); ++n) {
        const QPoint before = stops[n - 1]->mapTo(&panel, QPoint(0, 0));
        const QPoint after = stops[n]->mapTo(&panel, QPoint(0, 0));
        if (after.y() < before.y() || (after.y() == before.y() && after.x() <= before.x()))
            outOfOrder.push_back(describe(*stops[n - 1], panel) + " before " + describe(*stops[n], panel));
    }
    EXPECT_THAT(outOfOrder, IsEmpty());

    std::vector<QWidget*> controls = stops;
    for (QProgressBar* bar : panel.findChildren<QProgressBar*>())
        controls.push_back(bar);
    std::vector<std::string> nameless;
    for (QWidget* control : controls) {
        QAccessibleInterface* readOut = QAccessible::queryAccessibleInterface(control);
        if (readOut == nullptr || readOut->text(QAccessible::Name).trimmed().isEmpty())
            nameless.push_back(describe(*control, panel));
    }
    EXPECT_THAT(nameless, IsEmpty());
}

INSTANTIATE_TEST_SUITE_P(AllPanels, PanelFocusOrder, ::testing::ValuesIn(PanelStates::all()),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace orvel::test
