#pragma once

#include "platform/device_access.h"

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>
#include <thread>
#include <vector>

namespace orvel {

// Reads on a thread of its own, one read after the other in the order they
// were asked for, so that a copy loop can write one block while the next ones
// are read. A failed read drops the reads queued after it unread: a failing
// disk is not read further ahead while the loop goes back over the failed
// block. Whoever queues reads takes every result, in order, before it looks
// at their buffers.
class BlockReader {
public:
    // At most `capacity` reads are queued and not yet finished.
    explicit BlockReader(std::size_t capacity = 1);
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;
    // Drops the reads not begun, waits for the one being read, then ends the thread.
    ~BlockReader();

    // Queues a read of `bytes` at `offset` of `handle` into `buffer`. Where no
    // thread could be had, the read is done here and now.
    void start(DeviceHandle& handle, std::uint64_t offset, void* buffer, std::uint32_t bytes);
    // Waits for the oldest read queued and gives its result; nullopt when it
    // was dropped unread.
    std::optional<IoResult> finish();
    // Drops the reads not begun and waits for the one being read. On return
    // nothing is in flight; finish() still gives what was queued, in order.
    void drop();
    // Reads queued whose results were not yet taken.
    std::size_t queued() const;

private:
    struct Request {
        DeviceHandle* handle = nullptr;
        std::uint64_t offset = 0;
        void* buffer = nullptr;
        std::uint32_t bytes = 0;
        std::optional<IoResult> result;
        bool done = false;
    };

    void serve();
    Request& slot(std::size_t index) { return requests_[index % requests_.size()]; }

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    std::vector<Request> requests_;  // a ring: [taken_, queued_) are queued
    std::size_t taken_ = 0;          // results taken by finish()
    std::size_t served_ = 0;         // requests the thread has ended (read or dropped)
    std::size_t queued_ = 0;         // requests queued
    bool reading_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace orvel
