#include "engine/block_reader.h"

#include <system_error>

namespace orvel {

BlockReader::BlockReader()
{
    // Without a second thread the copy still runs, one transfer after the other.
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
    }
}

BlockReader::~BlockReader()
{
    {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [this] { return !pending_; });
        stopping_ = true;
    }
    changed_.notify_all();
    if (thread_.joinable())
        thread_.join();
}

void BlockReader::start(DeviceHandle& handle, std::uint64_t offset, void* buffer, std::uint32_t bytes)
{
    if (!thread_.joinable()) {
        const IoResult result = handle.readAt(offset, buffer, bytes);
        const std::lock_guard lock(mutex_);
        result_ = result;
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        request_ = {&handle, offset, buffer, bytes};
        pending_ = true;
    }
    changed_.notify_all();
}

IoResult BlockReader::finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
    return result_;
}

void BlockReader::serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_)
            return;
        const Request request = request_;
        lock.unlock();
        const IoResult result = request.handle->readAt(request.offset, request.buffer, request.bytes);
        lock.lock();
        result_ = result;
        pending_ = false;
        changed_.notify_all();
    }
}

} // namespace orvel
