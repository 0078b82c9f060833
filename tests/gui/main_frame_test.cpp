#include "controls/orvel_button.h"
#include "shell/about_dlg.h"
#include "shell/base_wnd.h"
#include "shell/main_frame.h"
#include "shell/splash_wnd.h"
#include "tests/gui/shell_test_support.h"
#include "tests/gui/widget_pixels.h"

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>

namespace orvel {
namespace {

using test::pixelAt;
using test::renderWidget;

const QColor kBlack(0, 0, 0);

class MainFrameTest : public testing::Test {
protected:
    MainFrameTest()
    {
        drives.make({});
        frame = std::make_unique<CMainFrame>(drives.platform(), boxes, panels.factory());
        frame->show();
    }

    CBaseWnd& host() { return *frame->host_; }

    test::SimPlatformFixture drives;
    test::ScriptedMessageBox boxes;
    test::StandInPanels panels;
    std::unique_ptr<CMainFrame> frame;
};

TEST_F(MainFrameTest, IsAFixedSizeWindowWithTheHelpStripAboveTheHost)
{
    EXPECT_EQ(frame->size(), QSize(600, 370));
    EXPECT_EQ(frame->minimumSize(), frame->maximumSize()) << "the window can be resized";
    EXPECT_FALSE(frame->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(frame->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_EQ(frame->windowTitle(), QStringLiteral("Orvel Disk Image"));
    EXPECT_FALSE(frame->windowIcon().isNull());

    EXPECT_EQ(frame->helpButton_->geometry(), QRect(570, 0, 30, 30));
    EXPECT_EQ(frame->helpButton_->accessibleName(), QStringLiteral("Help")) << "an image-only button needs a name";
    // As tall as the whole client area: its lowest 30 rows are never seen.
    EXPECT_EQ(host().geometry(), QRect(0, 30, 600, 370));
    EXPECT_NE(qobject_cast<CSplashWnd*>(host().currentPanel()), nullptr) << "the host does not start at home";

    const QImage shown = renderWidget(*frame);
    EXPECT_EQ(test::countColour(shown, kBlack, QRect(0, 0, 570, 30)), 570 * 30) << "the top strip is not all black";
    // The help image at the button's top left corner, two pixels down.
    EXPECT_EQ(pixelAt(shown, 590, 28), kBlack);
    EXPECT_GT(600 - test::countColour(shown, kBlack, QRect(570, 2, 24, 24)), 50) << "no help image at the top left";
}

TEST_F(MainFrameTest, ClosingIsRefusedWhileAnOperationRunsAndAllowedAfterIt)
{
    host().handlePanelMessage(WM_SHOW_CLONING);
    EXPECT_TRUE(frame->close()) << "the cloning panel kept the window from closing";
    frame->show();

    host().handlePanelMessage(WM_COPY_START);
    EXPECT_FALSE(frame->close());
    EXPECT_TRUE(frame->isVisible());
    const std::vector<MessageRequest> asked = boxes.requests();
    ASSERT_EQ(asked.size(), 1u);
    EXPECT_EQ(asked[0].text,
              "Are you sure? An operation is in progress. Press cancel button for terminate the operation.");
    EXPECT_EQ(asked[0].caption, "Warning");
    EXPECT_EQ(asked[0].icon, MessageIcon::Information);
    EXPECT_EQ(asked[0].buttons, MessageButtons::Ok);

    host().handlePanelMessage(WM_SHOW_HOME);
    EXPECT_TRUE(frame->close());
    EXPECT_FALSE(frame->isVisible());
    EXPECT_EQ(boxes.requests().size(), 1u) << "closing after the operation asked again";
}

TEST_F(MainFrameTest, ClosingFromEveryOtherPanelNeedsNoAnswer)
{
    for (const std::uint32_t message : {WM_SHOW_HOME, WM_SHOW_CLONING, WM_SHOW_IMAGING, WM_SHOW_RESTORE, WM_SHOW_HEALTH}) {
        frame->show();
        host().handlePanelMessage(message);
        EXPECT_TRUE(frame->close()) << "switch 0x" << std::hex << message;
    }
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(MainFrameTest, CloseMainClosesWithoutTheCheck)
{
    host().handlePanelMessage(WM_COPY_START);
    host().closeMainWindow();
    EXPECT_FALSE(frame->isVisible());
    EXPECT_TRUE(boxes.requests().empty());
}

TEST_F(MainFrameTest, AProgressWindowThatFailedToCreateDoesNotHoldTheWindowOpen)
{
    panels.failing = {WM_COPY_START};
    host().handlePanelMessage(WM_COPY_START);
    EXPECT_TRUE(frame->close());
}

TEST_F(MainFrameTest, HelpOpensTheUserGuideBesideTheExecutable)
{
    test::OpenedFiles opened;
    QTest::mouseClick(frame->helpButton_, Qt::LeftButton);
    ASSERT_EQ(opened.urls.size(), 1u);
    EXPECT_EQ(opened.urls[0],
              QUrl::fromLocalFile(QCoreApplication::applicationDirPath() + QStringLiteral("/Orvel Disk Image.html")));
}

TEST(HelpFilePath, JoinsTheFolderAndTheNameWithOneSeparator)
{
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/orvel")), QStringLiteral("/opt/orvel/Orvel Disk Image.html"));
    EXPECT_EQ(helpFilePath(QStringLiteral("/opt/orvel/")), QStringLiteral("/opt/orvel/Orvel Disk Image.html"));
}

TEST_F(MainFrameTest, TheHelpButtonsMenuAsksForTheAboutBox)
{
    const QList<QAction*> actions = frame->helpButton_->actions();
    ASSERT_EQ(actions.size(), 1);
    EXPECT_EQ(frame->helpButton_->contextMenuPolicy(), Qt::ActionsContextMenu);
    int requests = 0;
    QObject::connect(frame.get(), &CMainFrame::aboutRequested, [&] { ++requests; });
    actions[0]->trigger();
    EXPECT_EQ(requests, 1);
}

TEST(AboutBox, ShowsTheNameVersionAndOneLineAndClosesWithOk)
{
    CAboutDlg about;
    EXPECT_EQ(about.windowTitle(), QStringLiteral("About Vantor"));
    QStringList texts;
    for (const QLabel* label : about.findChildren<QLabel*>()) {
        if (!label->text().isEmpty())
            texts << label->text();
    }
    ASSERT_EQ(texts.size(), 2);
    EXPECT_EQ(texts[0], QStringLiteral("Vantor, Version 1.0"));
    EXPECT_FALSE(texts[1].isEmpty());
    const QList<QLabel*> labels = about.findChildren<QLabel*>();
    EXPECT_TRUE(std::any_of(labels.begin(), labels.end(), [](QLabel* l) { return !l->pixmap().isNull(); }))
        << "no icon";

    const QList<QPushButton*> buttons = about.findChildren<QPushButton*>();
    ASSERT_EQ(buttons.size(), 1);
    EXPECT_EQ(buttons[0]->text(), QStringLiteral("OK"));
    QTimer::singleShot(0, buttons[0], &QPushButton::click);
    EXPECT_EQ(about.exec(), QDialog::Accepted);
}

} // namespace
} // namespace orvel
