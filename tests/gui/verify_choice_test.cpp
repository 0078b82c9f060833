// The "verify" check box of the three set-up panels: where it sits and what
// Next tells the host about it.
#include "controls/orvel_button.h"
#include "panels/cloning_wnd.h"
#include "panels/control_id.h"
#include "panels/imaging_wnd.h"
#include "panels/panel_messages.h"
#include "panels/restore_wnd.h"
#include "tests/gui/panel_test_support.h"

#include <QCheckBox>
#include <QComboBox>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <ostream>
#include <string>

namespace orvel::test {
namespace {

using ::testing::ElementsAre;

class VerifyChoiceTest;

struct VerifyCase {
    const char* name;
    OperationKind kind;
    int boxId;
    const char* text;
    bool tickedAtFirst;
    // Shows the panel on drives 0 and 1 (2048 sectors each) with choices
    // that pass every check.
    std::function<QWidget&(VerifyChoiceTest&)> showReady;
};

std::ostream& operator<<(std::ostream& out, const VerifyCase& choice)
{
    return out << choice.name;
}

class VerifyChoiceTest : public PanelTest, public ::testing::WithParamInterface<VerifyCase> {
public:
    using PanelTest::files;

    template <typename P>
    P& show()
    {
        makeDrives({simDrive(2048), simDrive(2048)});
        return showSetupPanel<P>();
    }
};

QWidget& readyClone(VerifyChoiceTest& test)
{
    CCloningWnd& panel = test.show<CCloningWnd>();
    findControl<QComboBox>(panel, CCloningWnd::kSourceListId)->setCurrentIndex(0);
    findControl<QComboBox>(panel, CCloningWnd::kDestinationListId)->setCurrentIndex(1);
    findControl<QCheckBox>(panel, CCloningWnd::kWholeAreaBoxId)->click();
    return panel;
}

QWidget& readyImaging(VerifyChoiceTest& test)
{
    CImagingWnd& panel = test.show<CImagingWnd>();
    findControl<QComboBox>(panel, CImagingWnd::kSourceListId)->setCurrentIndex(0);
    const QString path = QString::fromStdString(test.files.file("disk.img"));
    panel.setSaveDialog([path](QWidget*) { return path; });
    findControl<COrvelButton>(panel, CImagingWnd::kBrowseId)->click();
    return panel;
}

QWidget& readyRestore(VerifyChoiceTest& test)
{
    CRestoreWnd& panel = test.show<CRestoreWnd>();
    const std::string image = test.files.file("saved.img");
    writePatternImage(image, 2048 * 512);
    panel.setOpenDialog([image](QWidget*) { return QString::fromStdString(image); });
    findControl<COrvelButton>(panel, CRestoreWnd::kBrowseId)->click();
    findControl<QComboBox>(panel, CRestoreWnd::kDestinationListId)->setCurrentIndex(1);
    return panel;
}

TEST_P(VerifyChoiceTest, NextTellsTheHostTheOperationAndTheBoxAsTheOperatorLeftIt)
{
    const VerifyCase& choice = GetParam();
    QWidget& panel = choice.showReady(*this);
    QCheckBox* box = findControl<QCheckBox>(panel, choice.boxId);
    ASSERT_NE(box, nullptr);
    EXPECT_EQ(box->text(), choice.text);
    EXPECT_EQ(box->isChecked(), choice.tickedAtFirst);
    box->click();
    script({MessageAnswer::Yes});

    // Next has one id on every set-up panel.
    findControl<COrvelButton>(panel, CRestoreWnd::kNextId)->click();

    EXPECT_THAT(host->messages, ElementsAre(WM_COPY_START));
    EXPECT_EQ(host->operation, choice.kind);
    EXPECT_EQ(host->verify, !choice.tickedAtFirst);
}

TEST_P(VerifyChoiceTest, TheBoxSitsInsideThePanelClearOfEveryOtherControl)
{
    const VerifyCase& choice = GetParam();
    QWidget& panel = choice.showReady(*this);
    const QCheckBox* box = findControl<QCheckBox>(panel, choice.boxId);
    ASSERT_NE(box, nullptr);
    EXPECT_TRUE(panel.rect().contains(box->geometry()));
    EXPECT_GE(box->width(), box->sizeHint().width()) << "the box's text is cut off";
    for (const QWidget* other : panel.findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        if (other == box || !other->isVisible())
            continue;
        EXPECT_FALSE(box->geometry().intersects(other->geometry())) << other->metaObject()->className();
    }
}

INSTANTIATE_TEST_SUITE_P(
    SetUpPanels, VerifyChoiceTest,
    ::testing::Values(
        VerifyCase{"Cloning", OperationKind::Cloning, CCloningWnd::kVerifyBoxId, "Verify after copying", false,
                   readyClone},
        VerifyCase{"Imaging", OperationKind::Imaging, CImagingWnd::kVerifyBoxId, "Verify after copying", false,
                   readyImaging},
        VerifyCase{"Restore", OperationKind::Restore, CRestoreWnd::kVerifyBoxId, "Verify after writing", true,
                   readyRestore}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace orvel::test
