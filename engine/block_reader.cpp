#include "engine/block_reader.h"

#include <system_error>

namespace orvel {

BlockReader::BlockReader(std::size_t capacity) : requests_(capacity == 0 ? 1 : capacity)
{
    // Without a second thread the copy still runs, one transfer after the other.
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
    }
}

BlockReader::~BlockReader()
{
    drop();
    {
        const std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void BlockReader::start(DeviceHandle& handle, std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    std::unique_lock lock(mutex_);
    Request& request = slot(queued_);
    request = {&handle, offset, buffer, bytes, std::nullopt, false};
    ++queued_;
    if (!thread_.joinable()) {
        lock.unlock();
        const IoResult result = handle.readAt(offset, buffer, bytes);
        lock.lock();
        request.result = result;
        request.done = true;
        ++served_;
        return;
    }
    lock.unlock();
    changed_.notify_all();
}

std::optional<IoResult> BlockReader::finish()
{
    std::unique_lock lock(mutex_);
    if (taken_ == queued_)
        return std::nullopt;
    changed_.wait(lock, [this] { return served_ > taken_; });
    return slot(taken_++).result;
}

void BlockReader::drop()
{
    std::unique_lock lock(mutex_);
    // The requests not begun end unread; the thread skips them.
    const std::size_t begun = served_ + (reading_ ? 1 : 0);
    for (std::size_t index = begun; index < queued_; ++index)
        slot(index).done = true;
    changed_.wait(lock, [this] { return !reading_; });
    served_ = queued_;
    changed_.notify_all();
}

std::size_t BlockReader::queued() const
{
    const std::lock_guard lock(mutex_);
    return queued_ - taken_;
}

void BlockReader::serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return served_ < queued_ || stopping_; });
        if (stopping_)
            return;
        Request& request = slot(served_);
        if (request.done) {
            ++served_;
            changed_.notify_all();
            continue;
        }
        reading_ = true;
        lock.unlock();
        const IoResult result = request.handle->readAt(request.offset, request.buffer, request.bytes);
        lock.lock();
        reading_ = false;
        request.result = result;
        request.done = true;
        ++served_;
        if (!result.ok) {
            for (std::size_t index = served_; index < queued_; ++index)
                slot(index).done = true;
            served_ = queued_;
        }
        changed_.notify_all();
    }
}

} // namespace orvel
