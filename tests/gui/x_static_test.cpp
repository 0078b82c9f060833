#include "controls/x_static.h"
#include "tests/gui/widget_pixels.h"

#include <QFont>

#include <gtest/gtest.h>

namespace orvel {
namespace {

using test::inkBounds;
using test::pixelAt;
using test::renderWidget;

const QColor kWhite(255, 255, 255);

TEST(CXStatic, DrawsWithItsOwnFontWhateverFontTheOwnerSets)
{
    CXStatic label(QStringLiteral("Source Drive : "));
    label.SetWhiteBackground();
    label.resize(200, 40);
    const QImage before = renderWidget(label);

    QFont large;
    large.setPixelSize(30);
    large.setBold(true);
    label.setFont(large);
    EXPECT_EQ(renderWidget(label), before);
}

TEST(CXStatic, SetFontHeightChangesTheDrawnSize)
{
    CXStatic label(QStringLiteral("Disk Name :"));
    label.SetWhiteBackground();
    label.resize(300, 60);
    const QRect small = inkBounds(renderWidget(label), kWhite);

    label.SetFontHeight(30);
    const QRect large = inkBounds(renderWidget(label), kWhite);
    ASSERT_FALSE(small.isEmpty());
    EXPECT_GT(large.height(), small.height() * 3 / 2);
    EXPECT_GT(large.width(), small.width() * 3 / 2);
}

TEST(CXStatic, SetWhiteBackgroundPaintsWhiteAndReturnsIt)
{
    CXStatic label(QStringLiteral("Completed :"));
    label.resize(120, 20);
    label.backBrush_ = QBrush(QColor(10, 20, 30));
    EXPECT_EQ(pixelAt(renderWidget(label), 118, 18), QColor(10, 20, 30));

    EXPECT_EQ(label.SetWhiteBackground(), kWhite);
    EXPECT_EQ(pixelAt(renderWidget(label), 118, 18), kWhite);
}

TEST(CXStatic, DrawsTextInItsOwnColour)
{
    CXStatic label(QStringLiteral("Operation :"));
    label.SetWhiteBackground();
    label.textColour_ = QColor(200, 0, 0);
    label.SetFontHeight(19);
    label.resize(120, 20);
    EXPECT_GT(test::countColour(renderWidget(label), QColor(200, 0, 0)), 0);
}

TEST(CXStatic, FormatPlacesTheTextLeftOrRight)
{
    CXStatic label(QStringLiteral("12345"));
    label.SetWhiteBackground();
    label.resize(300, 20);
    const QRect left = inkBounds(renderWidget(label), kWhite);
    EXPECT_LT(left.left(), 5);

    label.format_ = kLabelTextRight;
    const QRect right = inkBounds(renderWidget(label), kWhite);
    EXPECT_GT(right.right(), 300 - 5);
    EXPECT_NEAR(right.width(), left.width(), 1) << "the same text, placed at sub-pixel positions";
}

TEST(CXStatic, BreaksLinesOnlyAtLineFeeds)
{
    CXStatic label(QStringLiteral("one line that is far too long for the label"));
    label.SetWhiteBackground();
    label.resize(60, 60);
    const QRect oneLine = inkBounds(renderWidget(label), kWhite);

    label.setText(QStringLiteral("one\nline"));
    const QRect twoLines = inkBounds(renderWidget(label), kWhite);
    EXPECT_GT(twoLines.height(), oneLine.height() * 3 / 2);
}

} // namespace
} // namespace orvel
