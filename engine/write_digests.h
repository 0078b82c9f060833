#pragma once

#include "engine/region_digests.h"
#include "platform/sha256.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

namespace orvel {

// Digests every write of a copy on a thread of its own, while the write
// itself runs: the region digests a verification compares the destination
// with, and the SHA-256 of an image file's bytes. The caller keeps the bytes
// untouched from start() until finish(), and calls finish() before the next
// start(), so digesting never holds up a write nor meets a reused buffer.
class WriteDigests {
public:
    struct Wanted {
        bool regions = false;    // for a verification of the destination
        bool imageSha256 = false;  // of the bytes written from byte 0 on, in order
    };

    // For writes inside [firstByte, endByte) of the destination.
    WriteDigests(Wanted wanted, std::uint64_t firstByte, std::uint64_t endByte);
    WriteDigests(const WriteDigests&) = delete;
    WriteDigests& operator=(const WriteDigests&) = delete;
    ~WriteDigests();

    // Starts digesting `length` bytes written at destination byte `offset`.
    void start(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length);
    // Waits until the bytes given last are digested.
    void finish();

    // Null unless region digests were wanted.
    RegionDigests* regions();
    // The SHA-256 of bytes [0, end) in hexadecimal, when they were written as
    // one stream in order from byte 0 to `end`; nullopt otherwise.
    std::optional<std::string> imageSha256(std::uint64_t end);

private:
    struct Write {
        std::uint64_t offset = 0;
        const std::uint8_t* bytes = nullptr;
        std::uint32_t length = 0;
    };

    void digest(const Write& write);
    void serve();

    std::optional<RegionDigests> regions_;
    std::optional<Sha256> sha256_;
    std::uint64_t streamEnd_ = 0;  // the bytes hashed so far are [0, streamEnd_)
    bool streamBroken_ = false;

    std::mutex mutex_;
    std::condition_variable changed_;
    Write write_;
    bool pending_ = false;
    bool stopping_ = false;
    std::thread thread_;
};

} // namespace orvel
