#include "controls/x_edit.h"
#include "tests/gui/widget_pixels.h"

#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>

#include <gtest/gtest.h>

#include <functional>
#include <ostream>
#include <string>

namespace orvel {
namespace {

using test::pixelAt;
using test::renderWidget;

const QColor kPromptGrey(192, 192, 192);
const QColor kLightYellow(255, 255, 204);

void sendMousePress(QWidget& widget, Qt::MouseButton button)
{
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, widget.mapToGlobal(at), button, button, Qt::NoModifier);
    QCoreApplication::sendEvent(&widget, &press);
}

struct FirstTurn {
    std::string name;
    std::function<void(CXEdit&)> act;
};

void PrintTo(const FirstTurn& turn, std::ostream* out)
{
    *out << turn.name;
}

class CXEditFirstTurn : public testing::TestWithParam<FirstTurn> {};

TEST_P(CXEditFirstTurn, ErasesTheProgramsTextOnceAndKeepsLaterText)
{
    CXEdit edit;
    edit.setText(QStringLiteral("2048"));
    EXPECT_TRUE(edit.showingPrompt_);
    EXPECT_EQ(edit.colours().text, kPromptGrey) << "text written before the first turn shows as a prompt";

    GetParam().act(edit);
    EXPECT_FALSE(edit.showingPrompt_);
    EXPECT_TRUE(edit.text().isEmpty()) << "still shows " << edit.text().toStdString();
    EXPECT_NE(edit.colours().text, kPromptGrey);

    edit.setText(QStringLiteral("4096"));
    QFocusEvent focus(QEvent::FocusIn, Qt::OtherFocusReason);
    QCoreApplication::sendEvent(&edit, &focus);
    sendMousePress(edit, Qt::LeftButton);
    EXPECT_EQ(edit.text(), QStringLiteral("4096")) << "only the first turn erases";
}

INSTANTIATE_TEST_SUITE_P(
    Turns, CXEditFirstTurn,
    testing::Values(
        FirstTurn{"Focus",
                  [](CXEdit& edit) {
                      QFocusEvent focus(QEvent::FocusIn, Qt::TabFocusReason);
                      QCoreApplication::sendEvent(&edit, &focus);
                  }},
        FirstTurn{"LeftClick", [](CXEdit& edit) { sendMousePress(edit, Qt::LeftButton); }},
        FirstTurn{"MiddleClick", [](CXEdit& edit) { sendMousePress(edit, Qt::MiddleButton); }},
        FirstTurn{"RightClick", [](CXEdit& edit) { sendMousePress(edit, Qt::RightButton); }},
        FirstTurn{"ArrowKey",
                  [](CXEdit& edit) {
                      QKeyEvent key(QEvent::KeyPress, Qt::Key_Left, Qt::NoModifier);
                      QCoreApplication::sendEvent(&edit, &key);
                  }}),
    [](const testing::TestParamInfo<FirstTurn>& turn) { return turn.param.name; });

TEST(CXEdit, FirstTypedCharacterReplacesThePrompt)
{
    CXEdit edit;
    edit.setText(QStringLiteral("prompt"));
    QKeyEvent key(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QStringLiteral("7"));
    QCoreApplication::sendEvent(&edit, &key);
    EXPECT_EQ(edit.text(), QStringLiteral("7"));
}

TEST(CXEdit, PaintsItsLightYellowBackground)
{
    CXEdit edit;
    edit.resize(200, 24);
    EXPECT_EQ(pixelAt(renderWidget(edit), 190, 12), kLightYellow);
}

TEST(CXEdit, OwnerOverrideChangesTheBackgroundButNotThePromptColour)
{
    const QColor grey(165, 165, 165);
    CXEdit edit;
    edit.resize(200, 24);
    edit.setText(QStringLiteral("1"));
    edit.setColourOverride([grey](CXEdit::Colours& colours) { colours.background = QBrush(grey); });

    EXPECT_EQ(pixelAt(renderWidget(edit), 190, 12), grey);
    EXPECT_EQ(edit.colours().text, kPromptGrey);
    const QImage look = renderWidget(edit);
    EXPECT_GT(test::countColour(look, kPromptGrey), 0) << "the prompt text is drawn in its grey";
}

} // namespace
} // namespace orvel
