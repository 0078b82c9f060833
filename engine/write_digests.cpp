#include "engine/write_digests.h"

#include <system_error>

namespace orvel {

WriteDigests::WriteDigests(Wanted wanted, std::uint64_t firstByte, std::uint64_t endByte)
{
    if (wanted.regions)
        regions_.emplace(firstByte, endByte);
    if (wanted.imageSha256)
        sha256_.emplace();
    // Without a second thread the digests are made before each write instead.
    try {
        thread_ = std::thread([this] { serve(); });
    } catch (const std::system_error&) {
    }
}

WriteDigests::~WriteDigests()
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

void WriteDigests::start(std::uint64_t offset, const std::uint8_t* bytes, std::uint32_t length)
{
    if (!thread_.joinable()) {
        digest({offset, bytes, length});
        return;
    }
    {
        const std::lock_guard lock(mutex_);
        write_ = {offset, bytes, length};
        pending_ = true;
    }
    changed_.notify_all();
}

void WriteDigests::finish()
{
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !pending_; });
}

RegionDigests* WriteDigests::regions()
{
    finish();
    return regions_ ? &*regions_ : nullptr;
}

std::optional<std::string> WriteDigests::imageSha256(std::uint64_t end)
{
    finish();
    if (!sha256_ || streamBroken_ || streamEnd_ != end)
        return std::nullopt;
    const std::array<std::uint8_t, 32> digest = sha256_->finish();
    if (!sha256_->usable())
        return std::nullopt;
    streamBroken_ = true;  // the stream is spent
    return hexDigest(digest);
}

void WriteDigests::digest(const Write& write)
{
    if (regions_)
        regions_->add(write.offset, write.bytes, write.length);
    if (!sha256_ || streamBroken_)
        return;
    if (write.offset != streamEnd_) {
        streamBroken_ = true;
        return;
    }
    sha256_->update(write.bytes, write.length);
    streamEnd_ += write.length;
}

void WriteDigests::serve()
{
    std::unique_lock lock(mutex_);
    for (;;) {
        changed_.wait(lock, [this] { return pending_ || stopping_; });
        if (stopping_)
            return;
        const Write write = write_;
        lock.unlock();
        digest(write);
        lock.lock();
        pending_ = false;
        changed_.notify_all();
    }
}

} // namespace orvel
