#include "controls/gdi_plus_bitmap_resource.h"
#include "controls/gui_font.h"
#include "controls/orvel_button.h"
#include "tests/gui/widget_pixels.h"

#include <QCoreApplication>
#include <QFont>
#include <QFontInfo>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <ostream>

namespace orvel {
namespace {

using test::countColour;
using test::pixelAt;
using test::renderWidget;

const QColor kGreen(140, 191, 63);
const QColor kWhite(255, 255, 255);
const QColor kBlack(0, 0, 0);
const QColor kFrameShadow(160, 160, 160);
const QColor kFrameFace(240, 240, 240);

// A button as the home panel sets one up.
void setUpHomeButton(COrvelButton& button, const QFont& font)
{
    button.fontOverride_ = &font;
    button.customFill_ = true;
    button.fillColour_ = kGreen;
    button.imageId_ = 0;
    button.textColour_ = kWhite;
    button.resize(135, 50);
}

// The main window's help button.
void setUpHelpButton(COrvelButton& button)
{
    button.customFill_ = true;
    button.fillColour_ = kBlack;
    button.imageButton_ = true;
    button.imageId_ = 317;
    button.textColour_ = kWhite;
    button.layout_ |= LAYOUT_IMAGE_TOP_LEFT;
    button.resize(30, 30);
}

QFont homeButtonFont()
{
    QFont font;
    font.setPixelSize(22);
    return font;
}

void movePointerOver(COrvelButton& button)
{
    const QPointF at(10, 10);
    QMouseEvent move(QEvent::MouseMove, at, button.mapToGlobal(at), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&button, &move);
}

void movePointerAway(COrvelButton& button)
{
    QEvent leave(QEvent::Leave);
    QCoreApplication::sendEvent(&button, &leave);
}

QImage helpImage()
{
    CGdiPlusBitmapResource image;
    EXPECT_TRUE(image.Load(317));
    return image.bitmap_ ? *image.bitmap_ : QImage();
}

// A black rectangle with the help image drawn at `at`, as the button must look.
QImage blackWithHelpImage(QSize size, std::optional<QPoint> at)
{
    QImage expected(size, QImage::Format_RGB32);
    expected.fill(kBlack);
    if (at) {
        QPainter painter(&expected);
        painter.drawImage(*at, helpImage());
    }
    return expected;
}

// Pixels that are clearly red: the text of a button whose text colour is red.
QRect redInkBounds(const QImage& image)
{
    QRect bounds;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor colour = image.pixelColor(x, y);
            if (colour.red() > colour.green() + 60 && colour.red() > colour.blue() + 60)
                bounds |= QRect(x, y, 1, 1);
        }
    return bounds;
}

TEST(OrvelButton, PanelButtonIsGreenInsideFlatFrameWithWhiteText)
{
    const QFont font = homeButtonFont();
    COrvelButton button(QStringLiteral("Imaging"));
    setUpHomeButton(button, font);

    const QImage look = renderWidget(button);
    EXPECT_EQ(pixelAt(look, 0, 0), kFrameShadow);
    EXPECT_EQ(pixelAt(look, 134, 49), kFrameShadow);
    EXPECT_EQ(pixelAt(look, 1, 1), kFrameFace);
    EXPECT_EQ(pixelAt(look, 2, 2), kGreen);
    EXPECT_EQ(pixelAt(look, 132, 47), kGreen);
    EXPECT_GT(countColour(look, kWhite, QRect(20, 10, 95, 30)), 30) << "the caption is drawn in white";
    EXPECT_EQ(countColour(look, kWhite, QRect(2, 2, 15, 46)), 0) << "no white left of the centred caption";
}

TEST(OrvelButton, HoverTurnsTheFillBlackAndLeavingRestoresTheGreen)
{
    const QFont font = homeButtonFont();
    COrvelButton button(QStringLiteral("Cloning"));
    setUpHomeButton(button, font);
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);

    movePointerOver(button);
    EXPECT_TRUE(button.tracking_);
    EXPECT_EQ(button.cursor().shape(), Qt::PointingHandCursor) << "the hand shows once the reports are armed";
    ASSERT_TRUE(QTest::qWaitFor([&] { return button.hovering_; })) << "no hover report after the pointer rested";

    const QImage hovered = renderWidget(button);
    EXPECT_EQ(pixelAt(hovered, 2, 2), kBlack);
    EXPECT_EQ(pixelAt(hovered, 132, 47), kBlack);
    EXPECT_EQ(pixelAt(hovered, 0, 0), kFrameShadow);
    EXPECT_GT(countColour(hovered, kWhite, QRect(20, 10, 95, 30)), 30) << "the caption stays white while hovered";

    movePointerAway(button);
    EXPECT_FALSE(button.hovering_);
    EXPECT_FALSE(button.tracking_);
    EXPECT_EQ(button.cursor().shape(), Qt::ArrowCursor);
    const QImage left = renderWidget(button);
    EXPECT_EQ(pixelAt(left, 2, 2), kGreen);
    EXPECT_EQ(left, renderWidget(button));

    movePointerOver(button);
    EXPECT_TRUE(QTest::qWaitFor([&] { return button.hovering_; })) << "the cycle starts again after a leave";
}

TEST(OrvelButton, HoverShowsTheTooltipAtOnceOnlyWhenItHasText)
{
    COrvelButton button(QStringLiteral("Next"));
    button.resize(50, 25);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));

    movePointerOver(button);
    ASSERT_TRUE(QTest::qWaitFor([&] { return button.hovering_; }));
    EXPECT_FALSE(QToolTip::isVisible()) << "an empty tooltip text shows no tooltip";
    movePointerAway(button);

    button.toolTip_ = QStringLiteral("Start the copy");
    movePointerOver(button);
    ASSERT_TRUE(QTest::qWaitFor([&] { return button.hovering_; }));
    EXPECT_TRUE(QToolTip::isVisible());
    EXPECT_EQ(QToolTip::text(), QStringLiteral("Start the copy"));

    movePointerAway(button);
    EXPECT_TRUE(QTest::qWaitFor([] { return !QToolTip::isVisible(); })) << "leaving hides the tooltip";
}

TEST(OrvelButton, PressedTextButtonLooksTheSameAsReleased)
{
    COrvelButton button(QStringLiteral("Next"));
    button.customFill_ = true;
    button.fillColour_ = kGreen;
    button.imageButton_ = true;
    button.textColour_ = kWhite;
    button.resize(50, 25);

    const QImage released = renderWidget(button);
    button.setDown(true);
    const QImage pressed = renderWidget(button);
    EXPECT_EQ(pressed, released);
}

TEST(OrvelButton, PressedImageButtonShowsAFrameAroundTheShrunkFill)
{
    COrvelButton button;
    setUpHelpButton(button);

    const QImage released = renderWidget(button);
    EXPECT_EQ(pixelAt(released, 0, 0), kBlack) << "a released image button is filled to its edges";
    EXPECT_EQ(pixelAt(released, 29, 29), kBlack);

    button.setDown(true);
    const QImage pressed = renderWidget(button);
    EXPECT_EQ(pixelAt(pressed, 0, 0), kFrameShadow);
    EXPECT_EQ(pixelAt(pressed, 29, 0), kFrameShadow);
    EXPECT_EQ(pixelAt(pressed, 29, 29), kFrameShadow);
    EXPECT_EQ(pixelAt(pressed, 28, 28), kFrameFace);
    EXPECT_EQ(pixelAt(pressed, 27, 27), kBlack);

    button.setDown(false);
    EXPECT_EQ(renderWidget(button), released);
}

TEST(OrvelButton, HelpButtonShowsItsImageAtTheTopLeftTwoPixelsDown)
{
    COrvelButton button;
    setUpHelpButton(button);
    EXPECT_EQ(renderWidget(button), blackWithHelpImage(QSize(30, 30), QPoint(0, 2)));
}

TEST(OrvelButton, ImageButtonWithoutAnImageDrawsLikeATextButton)
{
    const QFont font = homeButtonFont();
    COrvelButton textButton(QStringLiteral("Back"));
    setUpHomeButton(textButton, font);
    COrvelButton imageButton(QStringLiteral("Back"));
    setUpHomeButton(imageButton, font);
    imageButton.imageButton_ = true;
    imageButton.layout_ = LAYOUT_IMAGE_TOP_LEFT;

    EXPECT_EQ(renderWidget(imageButton), renderWidget(textButton));

    imageButton.setDown(true);
    EXPECT_EQ(renderWidget(imageButton), renderWidget(textButton)) << "and it shows no frame of its own when pressed";
}

TEST(OrvelButton, WideCaptionShrinksToFitAndIsCutAtBothEdgesOnlyBelowNinePixels)
{
    COrvelButton button(QStringLiteral("Drive Health"));
    button.setFont(guiFont(22));
    button.customFill_ = true;
    button.fillColour_ = kGreen;
    button.resize(60, 30);

    const QFont drawn = button.drawnFont();
    EXPECT_LT(QFontInfo(drawn).pixelSize(), QFontInfo(button.font()).pixelSize());
    EXPECT_LE(QFontMetrics(drawn).horizontalAdvance(button.text()), 56) << "the caption fits inside the frame";
    const QImage look = renderWidget(button);
    EXPECT_EQ(pixelAt(look, 0, 15), kFrameShadow) << "the frame stays whole";
    EXPECT_EQ(pixelAt(look, 59, 15), kFrameShadow);

    button.setText(QStringLiteral("Drive Health Drive Health Drive Health"));
    EXPECT_EQ(QFontInfo(button.drawnFont()).pixelSize(), 9) << "no caption is drawn smaller than 9 pixels";
    EXPECT_NE(pixelAt(renderWidget(button), 0, 15), kFrameShadow) << "the text cell covers the frame";
}

struct LayoutCase {
    std::uint8_t layout;
    std::optional<QPoint> image;  // for a 200 x 40 button
    int textShift;
};

void PrintTo(const LayoutCase& layoutCase, std::ostream* out)
{
    *out << "layout " << int(layoutCase.layout);
}

class OrvelButtonLayout : public testing::TestWithParam<LayoutCase> {};

TEST_P(OrvelButtonLayout, PlacesTheImageAndShiftsTheText)
{
    const LayoutCase& layoutCase = GetParam();
    COrvelButton button;
    button.customFill_ = true;
    button.fillColour_ = kBlack;
    button.imageButton_ = true;
    button.imageId_ = 317;
    button.layout_ = layoutCase.layout;
    button.resize(200, 40);

    EXPECT_EQ(renderWidget(button), blackWithHelpImage(QSize(200, 40), layoutCase.image));

    // The caption, in red so that it is told apart from the white image.
    COrvelButton centred(QStringLiteral("Text"));
    centred.customFill_ = true;
    centred.fillColour_ = kBlack;
    centred.imageButton_ = true;
    centred.textColour_ = QColor(255, 0, 0);
    centred.resize(200, 40);
    button.setText(QStringLiteral("Text"));
    button.textColour_ = QColor(255, 0, 0);
    const QRect placed = redInkBounds(renderWidget(button));
    const QRect reference = redInkBounds(renderWidget(centred));
    ASSERT_FALSE(reference.isEmpty());
    EXPECT_EQ(placed.left() - reference.left(), layoutCase.textShift);
    EXPECT_EQ(placed.top(), reference.top());
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, OrvelButtonLayout,
    testing::Values(LayoutCase{0, std::nullopt, 0},
                    LayoutCase{LAYOUT_IMAGE_TOP_LEFT, QPoint(0, 2), 0},
                    LayoutCase{LAYOUT_IMAGE_RIGHT, QPoint(125, 8), -40},
                    LayoutCase{LAYOUT_IMAGE_LEFT, QPoint(25, 8), 40},
                    LayoutCase{LAYOUT_IMAGE_RIGHT | LAYOUT_IMAGE_LEFT | LAYOUT_IMAGE_TOP_LEFT, QPoint(125, 8), -40},
                    LayoutCase{LAYOUT_IMAGE_LEFT | LAYOUT_IMAGE_TOP_LEFT, QPoint(25, 8), 40}));

TEST(OrvelButton, PngThatFailsToLoadLeavesTheButtonWithoutAnImage)
{
    // 999 is no resource; 60001 is a cut-off PNG and 60002 an empty one (test resources).
    for (const std::uint32_t id : {999u, 60001u, 60002u}) {
        COrvelButton button;
        setUpHelpButton(button);
        button.imageId_ = id;
        const QImage look = renderWidget(button);
        EXPECT_EQ(countColour(look, kBlack), 30 * 30) << "image " << id << " left marks on the button";
    }
}

} // namespace
} // namespace orvel
