#include "controls/child_message_event.h"
#include "controls/splitter_wnd_extnd.h"

#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QVBoxLayout>
#include <QWidget>

#include <gtest/gtest.h>

#include <vector>

namespace orvel {
namespace {

// The window holding the splitter: records what reaches it and answers.
class Holder : public QWidget {
public:
    struct Received {
        ChildMessageEvent::Kind kind;
        QWidget* sender;
        int controlId;
        int code;
    };

    bool handlesCommands = true;
    qintptr answer = 0;
    std::vector<Received> received;

protected:
    bool event(QEvent* event) override
    {
        if (event->type() != ChildMessageEvent::eventType())
            return QWidget::event(event);
        auto& message = static_cast<ChildMessageEvent&>(*event);
        received.push_back({message.kind(), message.sender(), message.controlId(), message.code()});
        message.setResult(answer);
        message.setAccepted(message.kind() == ChildMessageEvent::Kind::Notification || handlesCommands);
        return true;
    }
};

// A drive-list-like pane: a click on a row notifies the window that holds it.
class ClickingList : public QListWidget {
public:
    static constexpr int kId = 0xE900;

    explicit ClickingList(QWidget* parent = nullptr) : QListWidget(parent)
    {
        addItem(QStringLiteral("Drive 0"));
        addItem(QStringLiteral("Drive 1"));
        connect(this, &QListWidget::clicked, this, [this] {
            ChildMessageEvent click(ChildMessageEvent::Kind::Notification, this, kId, kNotifyClick);
            lastHandled = sendToParent(*this, click);
            lastResult = click.result();
        });
    }

    bool lastHandled = false;
    qintptr lastResult = 0;
};

struct HealthLikePanel {
    HealthLikePanel()
    {
        holder.resize(600, 370);
        splitter = new CSplitterWndExtnd(&holder);
        splitter->setGeometry(0, 0, 600, 300);
        drives = new ClickingList;
        attributes = new QListWidget;
        EXPECT_TRUE(splitter->CreateView(0, 0, drives, QSize(250, 100)));
        EXPECT_TRUE(splitter->CreateView(1, 0, attributes, QSize(100, 100)));
        splitter->firstPane_ = drives;
        splitter->firstPaneClass_ = &QListWidget::staticMetaObject;
        splitter->secondPane_ = attributes;
        splitter->secondPaneClass_ = &QListWidget::staticMetaObject;
    }

    Holder holder;
    CSplitterWndExtnd* splitter = nullptr;
    ClickingList* drives = nullptr;
    QListWidget* attributes = nullptr;
};

TEST(SplitterWndExtnd, ClickInAPaneReachesTheWindowHoldingTheSplitter)
{
    HealthLikePanel panel;
    panel.holder.answer = 7;
    panel.holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel.holder));

    const QRect row = panel.drives->visualItemRect(panel.drives->item(1));
    QTest::mouseClick(panel.drives->viewport(), Qt::LeftButton, Qt::NoModifier, row.center());

    ASSERT_EQ(panel.holder.received.size(), 1u) << "the click did not reach the holder";
    const Holder::Received& click = panel.holder.received.front();
    EXPECT_EQ(click.kind, ChildMessageEvent::Kind::Notification);
    EXPECT_EQ(click.sender, panel.drives);
    EXPECT_EQ(click.controlId, ClickingList::kId);
    EXPECT_EQ(click.code, kNotifyClick);
    EXPECT_TRUE(panel.drives->lastHandled);
    EXPECT_EQ(panel.drives->lastResult, 7) << "the holder's answer is the notification's result";
    EXPECT_EQ(qobject_cast<CSplitterWndExtnd*>(panel.drives->parentWidget())->secondPane_, panel.attributes)
        << "the drive list finds the attribute list through its splitter";
}

TEST(SplitterWndExtnd, NotificationCountsAsHandledEvenWhenTheHolderIgnoresIt)
{
    HealthLikePanel panel;
    ChildMessageEvent notification(ChildMessageEvent::Kind::Notification, panel.attributes, 1, kNotifyClick);
    EXPECT_TRUE(sendToParent(*panel.attributes, notification));
    EXPECT_EQ(panel.holder.received.size(), 1u);
}

TEST(SplitterWndExtnd, CommandIsHandledOnlyWhenTheHolderHandlesIt)
{
    HealthLikePanel panel;
    panel.holder.answer = 3;

    ChildMessageEvent handled(ChildMessageEvent::Kind::Command, panel.drives, 4001, 0);
    EXPECT_TRUE(sendToParent(*panel.drives, handled));
    EXPECT_EQ(handled.result(), 3);

    panel.holder.handlesCommands = false;
    ChildMessageEvent ignored(ChildMessageEvent::Kind::Command, panel.drives, 4002, 0);
    EXPECT_FALSE(sendToParent(*panel.drives, ignored));
    ASSERT_EQ(panel.holder.received.size(), 2u);
    EXPECT_EQ(panel.holder.received.back().controlId, 4002);
}

TEST(SplitterWndExtnd, ActivePaneIsThePaneWithTheFocus)
{
    HealthLikePanel panel;
    auto* elsewhere = new QLineEdit(&panel.holder);
    elsewhere->setGeometry(0, 320, 100, 20);
    panel.holder.show();
    panel.holder.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&panel.holder));

    elsewhere->setFocus();
    int row = -1;
    int column = -1;
    EXPECT_EQ(panel.splitter->GetActivePane(&row, &column), nullptr) << "focus outside both panes";

    panel.splitter->SetActivePane(1, 0);
    EXPECT_EQ(panel.splitter->GetActivePane(&row, &column), panel.attributes);
    EXPECT_EQ(row, 1);
    EXPECT_EQ(column, 0);

    panel.splitter->SetActivePane(-1, -1, panel.drives);
    EXPECT_EQ(panel.splitter->GetActivePane(&row, &column), panel.drives);
    EXPECT_EQ(row, 0);
}

TEST(SplitterWndExtnd, FirstRowKeepsItsInitialHeightAndTheLastTakesTheRest)
{
    HealthLikePanel panel;
    panel.holder.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&panel.holder));
    EXPECT_EQ(panel.drives->geometry().top(), 0);
    EXPECT_EQ(panel.drives->height(), 100);
    EXPECT_EQ(panel.attributes->geometry().bottom(), 299);
    EXPECT_EQ(panel.splitter->orientation(), Qt::Vertical);
}

TEST(SplitterWndExtnd, EachCellTakesOnePane)
{
    CSplitterWndExtnd splitter;
    QWidget first;
    QWidget second;
    QWidget third;
    EXPECT_TRUE(splitter.CreateView(1, 0, &second, QSize(100, 100)));
    EXPECT_TRUE(splitter.CreateView(0, 0, &first, QSize(250, 100)));
    EXPECT_FALSE(splitter.CreateView(0, 0, &third, QSize(10, 10))) << "cell already has a pane";
    EXPECT_FALSE(splitter.CreateView(2, 0, &third, QSize(10, 10)));
    EXPECT_FALSE(splitter.CreateView(0, 1, &third, QSize(10, 10)));
    EXPECT_EQ(splitter.GetPane(0, 0), &first);
    EXPECT_EQ(splitter.GetPane(1, 0), &second);
    EXPECT_EQ(splitter.indexOf(&first), 0) << "rows stay in order whatever order they were made in";
    EXPECT_EQ(splitter.firstPane_, nullptr) << "the splitter leaves the pane fields to its creator";
}

} // namespace
} // namespace orvel
