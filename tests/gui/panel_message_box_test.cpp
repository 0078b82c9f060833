#include "panels/qt_message_box_service.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include <functional>
#include <optional>

namespace orvel {
namespace {

struct SeenBox {
    QString caption;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    QWidget* parent = nullptr;
};

// Shows `request` through the service and, once the box is up, notes what it
// shows and lets `answer` close it.
std::pair<MessageAnswer, SeenBox> showAndAnswer(QtMessageBoxService& service, const MessageRequest& request,
                                                const std::function<void(QMessageBox&)>& answer)
{
    SeenBox seen;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box == nullptr || !box->isVisible())
                continue;
            poll.stop();
            seen = {box->windowTitle(), box->text(), box->icon(), box->standardButtons(), box->parentWidget()};
            answer(*box);
            return;
        }
    });
    poll.start(10);
    const MessageAnswer answered = service.show(request);
    return {answered, seen};
}

TEST(QtMessageBoxService, ShowsTheCaptionTextIconAndButtonsOfTheRequestOverItsOwner)
{
    QWidget owner;
    QtMessageBoxService service(&owner);

    const auto [answer, seen] =
        showAndAnswer(service, {"Please select a drive.", "Information", MessageIcon::Information, MessageButtons::Ok},
                      [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });

    EXPECT_EQ(answer, MessageAnswer::Ok);
    EXPECT_EQ(seen.caption, "Information");
    EXPECT_EQ(seen.text, "Please select a drive.");
    EXPECT_EQ(seen.icon, QMessageBox::Information);
    EXPECT_EQ(seen.buttons, QMessageBox::Ok);
    EXPECT_EQ(seen.parent, &owner);
}

TEST(QtMessageBoxService, ErrorsShowTheErrorIcon)
{
    QtMessageBoxService service;
    const auto [answer, seen] =
        showAndAnswer(service, {"Failed to open source disk.", "Error", MessageIcon::Error, MessageButtons::Ok},
                      [](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    EXPECT_EQ(seen.icon, QMessageBox::Critical);
    EXPECT_EQ(answer, MessageAnswer::Ok);
}

TEST(QtMessageBoxService, QuestionsAnswerYesOrNoAndEscapeIsNo)
{
    QtMessageBoxService service;
    const MessageRequest question{"Are you sure?", "Confirm", MessageIcon::Question, MessageButtons::YesNo};

    const auto [yes, seen] =
        showAndAnswer(service, question, [](QMessageBox& box) { box.button(QMessageBox::Yes)->click(); });
    EXPECT_EQ(yes, MessageAnswer::Yes);
    EXPECT_EQ(seen.icon, QMessageBox::Question);
    EXPECT_EQ(seen.buttons, QMessageBox::Yes | QMessageBox::No);

    const auto [no, unused] =
        showAndAnswer(service, question, [](QMessageBox& box) { box.button(QMessageBox::No)->click(); });
    EXPECT_EQ(no, MessageAnswer::No);

    const auto [escaped, alsoUnused] =
        showAndAnswer(service, question, [](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    EXPECT_EQ(escaped, MessageAnswer::No);
}

} // namespace
} // namespace orvel
