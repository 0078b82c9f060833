#include "engine/block_pipeline.h"

namespace orvel {

BlockPipeline::BlockPipeline(DiskDevice& source, std::uint64_t blocks) : source_(source)
{
    if (blocks > 1 && spare_.allocate(source.chunkBytes))
        reader_.emplace();
}

BlockData BlockPipeline::read(std::uint64_t sector)
{
    if (aheadStarted_ && aheadSector_ == sector) {
        settle();
        aheadStarted_ = false;
        return ahead_;
    }
    settle();
    aheadStarted_ = false;
    std::uint8_t* buffer = nextBuffer();
    return {readSectors(source_, source_.handle.get(), sector, buffer, source_.chunkBytes), buffer};
}

void BlockPipeline::readAhead(std::uint64_t sector)
{
    if (!reader_ || source_.handle == nullptr)
        return;
    settle();
    aheadStarted_ = true;
    aheadSector_ = sector;
    ahead_ = {false, nextBuffer()};
    inFlight_ = true;
    reader_->start(*source_.handle, sector * source_.sectorSize, ahead_.bytes, source_.chunkBytes);
}

void BlockPipeline::settle()
{
    if (!inFlight_)
        return;
    inFlight_ = false;
    const IoResult result = reader_->finish();
    ahead_.ok = result.ok;
    if (!result.ok) {
        source_.lastError = result.error;
        source_.deviceLost = result.deviceLost;
    }
}

std::uint8_t* BlockPipeline::nextBuffer()
{
    if (spare_.empty())
        return source_.chunkBuffer.data();
    spareNext_ = !spareNext_;
    return spareNext_ ? spare_.data() : source_.chunkBuffer.data();
}

} // namespace orvel
