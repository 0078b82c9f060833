#pragma once

#include <QMetaObject>
#include <QObject>

#include <mutex>
#include <utility>

namespace orvel {

// The lock that orders a posted call after everything its poster wrote.
std::mutex& postedCallFence();

// Runs `function` later on the thread that owns `receiver`, through its event
// queue; nothing runs if the receiver is destroyed first. What the posting
// thread wrote before, the function's captures included, is visible to the
// function: Qt's queue orders it, and so does a lock that race checkers,
// which cannot see into Qt, can follow.
template <typename Function>
void postCall(QObject& receiver, Function function)
{
    const std::lock_guard posting(postedCallFence());
    QMetaObject::invokeMethod(
        &receiver,
        [function = std::move(function)]() mutable {
            { const std::lock_guard received(postedCallFence()); }
            function();
        },
        Qt::QueuedConnection);
}

} // namespace orvel
