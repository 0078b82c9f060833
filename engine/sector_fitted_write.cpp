#include "engine/sector_fitted_write.h"

#include "platform/aligned_buffer.h"

#include <algorithm>
#include <cstring>

namespace orvel {

namespace {

bool alignedForDirectIo(const std::uint8_t* memory)
{
    return reinterpret_cast<std::uintptr_t>(memory) % kDirectIoAlignment == 0;
}

} // namespace

IoResult writeFittedToSectors(DeviceHandle& handle, std::span<std::uint8_t> sector, std::uint64_t offset,
                              const std::uint8_t* buffer, std::uint32_t bytes)
{
    const auto sectorSize = static_cast<std::uint32_t>(sector.size());
    while (bytes > 0) {
        const auto into = static_cast<std::uint32_t>(offset % sectorSize);
        const std::uint32_t whole = into == 0 ? bytes / sectorSize * sectorSize : 0;
        if (whole > 0 && alignedForDirectIo(buffer)) {
            const IoResult written = handle.writeAt(offset, buffer, whole);
            if (!written.ok)
                return written;
            offset += whole;
            buffer += whole;
            bytes -= whole;
            continue;
        }
        // A part of one sector, or a whole one from memory that a direct
        // transfer cannot take: through the sector buffer.
        const std::uint32_t part = std::min(bytes, sectorSize - into);
        const std::uint64_t sectorStart = offset - into;
        if (part < sectorSize) {
            const IoResult read = handle.readAt(sectorStart, sector.data(), sectorSize);
            if (!read.ok)
                return read;
        }
        std::memcpy(sector.data() + into, buffer, part);
        const IoResult written = handle.writeAt(sectorStart, sector.data(), sectorSize);
        if (!written.ok)
            return written;
        offset += part;
        buffer += part;
        bytes -= part;
    }
    return {true};
}

} // namespace orvel
