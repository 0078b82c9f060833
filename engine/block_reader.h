#pragma once

#include "platform/device_access.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>

namespace orvel {

// Runs one read at a time on a thread of its own, so that the copy loop can
// write a block while the next one is read. The loop starts a read only after
// the cancel check that allows it, and takes its result before it looks at
// the buffer, checks for a cancel again or closes the source: a read in flight
// never meets a cancel exit.
class BlockReader {
public:
    BlockReader();
    BlockReader(const BlockReader&) = delete;
    BlockReader& operator=(const BlockReader&) = delete;
    // Waits for a read in flight, then ends the thread.
    ~BlockReader();

    // Starts reading `bytes` at `offset` of `handle` into `buffer`. At most one
    // read is in flight: call finish() before the next start(). Where no thread
    // could be had, the read is done here and now.
    void start(DeviceHandle& handle, std::uint64_t offset, void* buffer, std::uint32_t bytes);
    // Waits for the read started last and gives its result.
    IoResult finish();

private:
    struct Request {
        DeviceHandle* handle = nullptr;
        std::uint64_t offset = 0;
        void* buffer = nullptr;
        std::uint32_t bytes = 0;
    };

    void serve();

    std::mutex mutex_;
    std::condition_variable changed_;
    Request request_;
    bool pending_ = false;  // a request waits for the thread or is being read
    bool stopping_ = false;
    IoResult result_;
    std::thread thread_;
};

} // namespace orvel
