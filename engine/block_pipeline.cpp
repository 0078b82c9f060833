#include "engine/block_pipeline.h"

#include <utility>

namespace orvel {

BlockPipeline::BlockPipeline(DiskDevice& source, std::uint64_t blocks, NextBlock next)
    : source_(source), next_(std::move(next))
{
    buffers_[0] = source.chunkBuffer.data();
    for (AlignedBuffer& spare : spares_) {
        if (bufferCount_ >= blocks || !spare.allocate(source.chunkBytes))
            break;
        buffers_[bufferCount_++] = spare.data();
    }
    if (bufferCount_ > 1)
        reader_.emplace(bufferCount_ - 1);
}

BlockPipeline::~BlockPipeline()
{
    clear();
}

BlockData BlockPipeline::read(std::uint64_t sector)
{
    std::optional<IoResult> result;
    std::size_t buffer = 0;
    if (!queued_.empty() && queued_.front().sector == sector) {
        buffer = queued_.front().buffer;
        result = queued_.front().result ? queued_.front().result : reader_->finish();
        queued_.pop_front();
    }
    if (!result) {
        clear();
        const IoResult now = source_.handle == nullptr
                                 ? IoResult{}
                                 : source_.handle->readAt(sector * source_.sectorSize, buffers_[buffer],
                                                          source_.chunkBytes);
        result = now;
    }
    if (!result->ok) {
        // Nothing was read after it: the reader drops what was queued behind a failure.
        clear();
        noteFailure(source_, *result);
        return {false, buffers_[buffer]};
    }
    readAhead(sector, buffer);
    return {true, buffers_[buffer]};
}

void BlockPipeline::settle()
{
    if (!reader_)
        return;
    reader_->drop();
    // The reads that ended come first, in order; the rest were dropped.
    for (auto entry = queued_.begin(); entry != queued_.end();) {
        if (!entry->result)
            entry->result = reader_->finish();
        if (!entry->result) {
            queued_.erase(entry, queued_.end());
            break;
        }
        ++entry;
    }
    while (reader_->queued() > 0)
        reader_->finish();
}

void BlockPipeline::clear()
{
    settle();
    queued_.clear();
}

void BlockPipeline::readAhead(std::uint64_t after, std::size_t held)
{
    if (!reader_ || source_.handle == nullptr)
        return;
    std::uint64_t last = queued_.empty() ? after : queued_.back().sector;
    while (queued_.size() + 1 < bufferCount_) {
        const std::optional<std::uint64_t> sector = next_(last);
        if (!sector)
            return;
        const std::size_t buffer = freeBuffer(held);
        queued_.push_back({*sector, buffer, std::nullopt});
        reader_->start(*source_.handle, *sector * source_.sectorSize, buffers_[buffer], source_.chunkBytes);
        last = *sector;
    }
}

std::size_t BlockPipeline::freeBuffer(std::size_t held) const
{
    for (std::size_t buffer = 0; buffer < bufferCount_; ++buffer) {
        if (buffer == held)
            continue;
        bool used = false;
        for (const Queued& entry : queued_)
            used = used || entry.buffer == buffer;
        if (!used)
            return buffer;
    }
    return held;  // unreachable: fewer blocks are queued than there are buffers
}

} // namespace orvel
