// Every text of every panel is whole: on the face the program asks for and
// on the Debian default, each caption, label, button text and heading fits
// its control at the font it is drawn in.
#include "controls/orvel_button.h"
#include "controls/x_static.h"
#include "tests/gui/panel_states.h"

#include <QApplication>
#include <QCheckBox>
#include <QFontDatabase>
#include <QFontInfo>
#include <QFontMetrics>
#include <QHeaderView>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionButton>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <tuple>

namespace orvel::test {
namespace {

using ::testing::IsEmpty;

// The flat frame a panel button draws its text inside.
constexpr int kButtonFrame = 2;
constexpr int kSmallestPixels = 9;

// "what" when `text` in `font` does not fit `room`; nothing when it does.
std::vector<std::string> cut(const QString& what, const QString& text, const QFont& font, QSize room)
{
    if (text.isEmpty())
        return {};
    const QFontMetrics metrics(font);
    const int width = metrics.horizontalAdvance(text);
    const int pixels = QFontInfo(font).pixelSize();
    if (width <= room.width() && metrics.height() <= room.height() && pixels >= kSmallestPixels)
        return {};
    return {QStringLiteral("%1 \"%2\": %3 x %4 at %5 px in %6 x %7")
                .arg(what, text)
                .arg(width)
                .arg(metrics.height())
                .arg(pixels)
                .arg(room.width())
                .arg(room.height())
                .toStdString()};
}

// The room a check box or radio button leaves its text beside the mark.
QSize textRoomBesideMark(const QAbstractButton& button, QStyle::SubElement contents)
{
    QStyleOptionButton option;
    option.initFrom(&button);
    option.text = button.text();
    return button.style()->subElementRect(contents, &option, &button).size();
}

std::vector<std::string> cutTexts(const QWidget& panel)
{
    std::vector<std::string> found;
    const auto add = [&found](std::vector<std::string> more) { found.insert(found.end(), more.begin(), more.end()); };
    for (const QWidget* control : panel.findChildren<QWidget*>()) {
        if (!control->isVisible())
            continue;
        if (const auto* own = qobject_cast<const CXStatic*>(control)) {
            add(cut("label", own->text(), own->drawnFont(), own->contentsRect().size()));
        } else if (const auto* button = qobject_cast<const COrvelButton*>(control)) {
            const QRect inside = button->rect().adjusted(kButtonFrame, kButtonFrame, -kButtonFrame, -kButtonFrame);
            add(cut("button", button->text(), button->drawnFont(), inside.size()));
        } else if (const auto* label = qobject_cast<const QLabel*>(control)) {
            const int margins = 2 * label->margin() + std::max(0, label->indent());
            add(cut("label", label->text(), label->font(), label->contentsRect().size() - QSize(margins, margins)));
        } else if (const auto* box = qobject_cast<const QCheckBox*>(control)) {
            add(cut("check box", box->text(), box->font(), textRoomBesideMark(*box, QStyle::SE_CheckBoxContents)));
        } else if (const auto* radio = qobject_cast<const QRadioButton*>(control)) {
            add(cut("radio button", radio->text(), radio->font(),
                    textRoomBesideMark(*radio, QStyle::SE_RadioButtonContents)));
        } else if (const auto* field = qobject_cast<const QLineEdit*>(control)) {
            const QMargins margins = field->textMargins();
            add(cut("placeholder", field->placeholderText(), field->font(),
                    field->contentsRect().marginsRemoved(margins).size()));
        } else if (const auto* header = qobject_cast<const QHeaderView*>(control)) {
            const int margin = header->style()->pixelMetric(QStyle::PM_HeaderMargin, nullptr, header);
            for (int section = 0; section < header->count(); ++section)
                add(cut("heading", header->model()->headerData(section, header->orientation()).toString(),
                        header->font(), QSize(header->sectionSize(section) - 2 * margin, header->height())));
        }
    }
    return found;
}

class PanelTextFit : public PanelStates,
                     public ::testing::WithParamInterface<std::tuple<PanelState, const char*>> {
protected:
    void SetUp() override
    {
        const QString family = QString::fromUtf8(std::get<1>(GetParam()));
        if (!QFontDatabase::families().contains(family))
            GTEST_SKIP() << family.toStdString() << " is not installed";
        QFont face = QApplication::font();
        face.setFamily(family);
        QApplication::setFont(face);
    }

    void TearDown() override
    {
        PanelStates::TearDown();
        QApplication::setFont(programFont_);
    }

private:
    const QFont programFont_ = QApplication::font();
};

TEST_P(PanelTextFit, EveryTextFitsItsControl)
{
    const QWidget& panel = std::get<0>(GetParam()).show(*this);
    ASSERT_EQ(QFontInfo(QApplication::font()).family(), std::get<1>(GetParam()));
    EXPECT_THAT(cutTexts(panel), IsEmpty());
}

// Liberation Sans is what the program asks for; DejaVu Sans is what a Debian
// system without it gives.
INSTANTIATE_TEST_SUITE_P(AllPanels, PanelTextFit,
                         ::testing::Combine(::testing::ValuesIn(PanelStates::all()),
                                            ::testing::Values("Liberation Sans", "DejaVu Sans")),
                         [](const auto& test) {
                             std::string face = std::get<1>(test.param);
                             std::erase(face, ' ');
                             return std::string(std::get<0>(test.param).name) + "_" + face;
                         });

} // namespace
} // namespace orvel::test
