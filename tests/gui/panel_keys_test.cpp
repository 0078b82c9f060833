#include "controls/orvel_button.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/panel_messages.h"
#include "panels/progress_wnd.h"
#include "panels/restore_wnd.h"
#include "tests/gui/panel_test_support.h"

#include <QComboBox>
#include <QTest>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <string>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

static_assert(CImagingWnd::kNextId == CCloningWnd::kNextId && CRestoreWnd::kNextId == CCloningWnd::kNextId,
              "the test finds Next by one id on every set-up panel");

enum class Pressed { Next, Back, Cancel };

struct PanelKey {
    const char* name;
    std::function<QWidget&(PanelTest&)> show;
    Qt::Key key;
    Pressed pressed;
};

class PanelKeys : public PanelTest, public ::testing::WithParamInterface<PanelKey> {
public:
    template <typename P>
    P& showPanel()
    {
        makeDrives({simDrive(2048), simDrive(2048)});
        return showSetupPanel<P>();
    }

    QWidget& showProgress()
    {
        makeDrives({});
        CProgressWnd& window = host->show<CProgressWnd>();
        EXPECT_TRUE(waitUntil([&window] { return window.operationFinished(); }));
        return window;
    }

    // Keys go where the focus is, in the active window, as the operator's do.
    QWidget& focusInside(QWidget& panel)
    {
        panel.window()->activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(panel.window()));
        QWidget* inside = panel.findChild<QComboBox*>();
        QWidget& target = inside != nullptr ? *inside : panel;
        target.setFocus();
        return target;
    }
};

template <typename P>
QWidget& showSetup(PanelTest& test)
{
    return static_cast<PanelKeys&>(test).showPanel<P>();
}

QWidget& showProgress(PanelTest& test)
{
    return static_cast<PanelKeys&>(test).showProgress();
}

const PanelKey kPanelKeys[] = {
    {"CloningEnter", showSetup<CCloningWnd>, Qt::Key_Return, Pressed::Next},
    {"CloningKeypadEnter", showSetup<CCloningWnd>, Qt::Key_Enter, Pressed::Next},
    {"CloningEscape", showSetup<CCloningWnd>, Qt::Key_Escape, Pressed::Back},
    {"ImagingEnter", showSetup<CImagingWnd>, Qt::Key_Return, Pressed::Next},
    {"ImagingEscape", showSetup<CImagingWnd>, Qt::Key_Escape, Pressed::Back},
    {"RestoreEnter", showSetup<CRestoreWnd>, Qt::Key_Return, Pressed::Next},
    {"RestoreEscape", showSetup<CRestoreWnd>, Qt::Key_Escape, Pressed::Back},
    {"ProgressEscape", showProgress, Qt::Key_Escape, Pressed::Cancel},
};

TEST_P(PanelKeys, TheKeyPressesItsButton)
{
    QWidget& panel = GetParam().show(*this);
    QWidget& target = focusInside(panel);
    script({MessageAnswer::No});

    QTest::keyClick(&target, GetParam().key);

    switch (GetParam().pressed) {
    case Pressed::Next: {
        // With nothing chosen, Next stops at its first question; the key
        // must have asked just what a click on Next asks.
        ASSERT_EQ(asked().size(), 1u) << "Next was not pressed";
        EXPECT_THAT(host->messages, IsEmpty());
        findControl<COrvelButton>(panel, CCloningWnd::kNextId)->click();
        ASSERT_EQ(asked().size(), 2u);
        EXPECT_EQ(asked()[0], asked()[1]);
        break;
    }
    case Pressed::Back:
        EXPECT_THAT(host->messages, ElementsAre(WM_SHOW_HOME));
        EXPECT_THAT(asked(), IsEmpty());
        break;
    case Pressed::Cancel:
        EXPECT_THAT(asked(), ElementsAre(::testing::HasSubstr("Are you sure? Please press cancel button")));
        break;
    }
}

INSTANTIATE_TEST_SUITE_P(SetUpPanelsAndProgress, PanelKeys, ::testing::ValuesIn(kPanelKeys),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace orvel::test
