#pragma once

#include <QMetaObject>
#include <QObject>
#include <QThread>

#include <utility>

namespace orvel {

// Runs call on the thread that owns context and returns when it has run: at
// once on that thread, else queued to it with the caller waiting, as a window
// message sent from another thread waits for its answer. The owning thread
// must be running its event loop (or delivering context's posted calls).
template <typename Call>
void callOnOwnerThread(QObject& context, Call&& call)
{
    if (QThread::currentThread() == context.thread())
        std::forward<Call>(call)();
    else
        QMetaObject::invokeMethod(&context, std::forward<Call>(call), Qt::BlockingQueuedConnection);
}

} // namespace orvel
