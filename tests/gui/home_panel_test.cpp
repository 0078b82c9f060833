#include "controls/orvel_button.h"
#include "controls/resource_lookup.h"
#include "shell/base_wnd.h"
#include "shell/splash_wnd.h"
#include "tests/gui/shell_test_support.h"
#include "tests/gui/widget_pixels.h"

#include <QFontMetrics>
#include <QTest>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <vector>

namespace orvel {
namespace {

using test::pixelAt;
using test::renderWidget;

const QColor kWhite(255, 255, 255);
const QColor kGreen(140, 191, 63);

class HomePanelTest : public testing::Test {
protected:
    HomePanelTest()
    {
        drives.make({});
        host = std::make_unique<CBaseWnd>(drives.platform(), boxes, panels.factory());
        host->resize(600, 370);
        host->OnCreate();
        host->show();
    }

    CSplashWnd& home()
    {
        auto* panel = qobject_cast<CSplashWnd*>(host->currentPanel());
        EXPECT_NE(panel, nullptr) << "the host does not show the home panel";
        return *panel;
    }

    test::SimPlatformFixture drives;
    test::ScriptedMessageBox boxes;
    test::StandInPanels panels;
    std::unique_ptr<CBaseWnd> host;
};

// Left to right, as the operator sees them.
std::vector<COrvelButton*> buttonsOf(CSplashWnd& panel)
{
    return {panel.imagingButton, panel.cloningButton, panel.restoreButton, panel.healthButton};
}

TEST_F(HomePanelTest, FillsTheHostWithThePictureAboveAWhiteStripAndFourEqualButtonsInTheirPlaces)
{
    CSplashWnd& panel = home();
    EXPECT_EQ(panel.geometry(), QRect(0, 0, 600, 370));
    std::vector<QRect> places;
    for (const COrvelButton* button : buttonsOf(panel))
        places.push_back(button->geometry());
    EXPECT_EQ(places, (std::vector<QRect>{QRect(16, 260, 130, 50), QRect(162, 260, 130, 50),
                                          QRect(308, 260, 130, 50), QRect(454, 260, 130, 50)}));

    // The 600 x 400 picture squeezed into 600 x 340: compared away from the
    // buttons with the picture scaled the same way, it differs only by the
    // smoothing; drawn unscaled, its title alone would differ by far more.
    const QImage shown = renderWidget(*host);
    const QImage expected = loadBitmapResource(kHomePictureId)
                                .scaled(600, 340, Qt::IgnoreAspectRatio, Qt::SmoothTransformation)
                                .convertToFormat(QImage::Format_RGB32);
    long difference = 0;
    int compared = 0;
    for (int y = 0; y < 250; y += 2) {
        for (int x = 0; x < 600; x += 2) {
            const QColor a = shown.pixelColor(x, y);
            const QColor b = expected.pixelColor(x, y);
            difference += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) + std::abs(a.blue() - b.blue());
            ++compared;
        }
    }
    EXPECT_LT(difference / compared, 6) << "the picture is not the home picture scaled to 600 x 340";

    EXPECT_NE(pixelAt(shown, 5, 339), kWhite) << "the picture stops short of 340 rows";
    for (const int y : {340, 355, 369})
        EXPECT_EQ(pixelAt(shown, 5, y), kWhite) << "row " << y << " of the bottom strip is not white";
}

TEST_F(HomePanelTest, ButtonsAreGreenWithWhiteCaptionsInTheLargerFont)
{
    CSplashWnd& panel = home();
    std::vector<QString> captions;
    for (const COrvelButton* button : buttonsOf(panel))
        captions.push_back(button->text());
    EXPECT_EQ(captions, (std::vector<QString>{"Imaging", "Cloning", "Restore", "Drive Health"}));
    EXPECT_LE(QFontMetrics(panel.buttonFont).height(), 22) << "the font's cell is 22 pixels high";
    EXPECT_GE(QFontMetrics(panel.buttonFont).height(), 20);

    const QImage shown = renderWidget(*host);
    for (const COrvelButton* button : buttonsOf(panel)) {
        const QRect inside = button->geometry().adjusted(3, 3, -3, -3);
        EXPECT_EQ(pixelAt(shown, inside.left(), inside.top()), kGreen) << button->text().toStdString();
        EXPECT_GT(test::countColour(shown, kWhite, inside), 50) << "no white caption on " << button->text().toStdString();
        EXPECT_LT(QFontMetrics(panel.buttonFont).horizontalAdvance(button->text()), inside.width())
            << button->text().toStdString() << " is cut off at the narrower width four buttons leave";
    }
}

TEST_F(HomePanelTest, ButtonsKeepTheirPlacesWhenThePanelIsSmaller)
{
    host->resize(500, 300);
    CSplashWnd& panel = home();
    EXPECT_EQ(panel.size(), QSize(500, 300));
    EXPECT_EQ(panel.healthButton->geometry(), QRect(454, 260, 130, 50));
    EXPECT_EQ(panel.imagingButton->geometry(), QRect(16, 260, 130, 50));
}

TEST_F(HomePanelTest, EachButtonAsksTheHostForItsPanel)
{
    std::vector<std::uint32_t> created;
    panels.onCreate = [&](std::uint32_t message) { created.push_back(message); };

    QTest::mouseClick(home().imagingButton, Qt::LeftButton);
    host->handlePanelMessage(WM_SHOW_HOME);
    QTest::mouseClick(home().cloningButton, Qt::LeftButton);
    host->handlePanelMessage(WM_SHOW_HOME);
    QTest::mouseClick(home().restoreButton, Qt::LeftButton);
    host->handlePanelMessage(WM_SHOW_HOME);
    QTest::mouseClick(home().healthButton, Qt::LeftButton);

    EXPECT_EQ(created, (std::vector<std::uint32_t>{WM_SHOW_IMAGING, WM_SHOW_HOME, WM_SHOW_CLONING, WM_SHOW_HOME,
                                                   WM_SHOW_RESTORE, WM_SHOW_HOME, WM_SHOW_HEALTH}));
}

TEST_F(HomePanelTest, DriveHealthTurnsOffTheForwardCopyBeforeTheSwitch)
{
    host->setForwardCopy(true);
    bool forwardWhileCreating = true;
    panels.onCreate = [&](std::uint32_t message) {
        if (message == WM_SHOW_HEALTH)
            forwardWhileCreating = host->forwardCopy();
    };
    QTest::mouseClick(home().healthButton, Qt::LeftButton);
    EXPECT_FALSE(forwardWhileCreating);

    host->handlePanelMessage(WM_SHOW_HOME);
    EXPECT_FALSE(host->forwardCopy()) << "going home set the forward copy again";
    QTest::mouseClick(home().imagingButton, Qt::LeftButton);
    EXPECT_FALSE(host->forwardCopy()) << "only a clone sets the forward copy";
}

} // namespace
} // namespace orvel
