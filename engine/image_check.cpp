#include "engine/image_check.h"

#include "engine/block_reader.h"
#include "engine/copy_steps.h"
#include "engine/image_checksum_file.h"
#include "platform/aligned_buffer.h"
#include "platform/sha256.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <utility>

namespace orvel {

std::optional<std::string> sha256OfImage(DeviceHandle& image, std::uint64_t length, CopyJob& job)
{
    job.positionBytes = 0;
    job.endBytes = length;
    AlignedBuffer current;
    AlignedBuffer next;
    const std::uint64_t blockBytes = std::min<std::uint64_t>(kBlockBytes, std::max<std::uint64_t>(length, 1));
    if (!current.allocate(blockBytes) || !next.allocate(blockBytes))
        return std::nullopt;
    Sha256 sha256;
    BlockReader reader;
    auto blockAt = [&](std::uint64_t offset) {
        return static_cast<std::uint32_t>(std::min<std::uint64_t>(kBlockBytes, length - offset));
    };
    if (length > 0)
        reader.start(image, 0, current.data(), blockAt(0));
    for (std::uint64_t offset = 0; offset < length;) {
        const std::uint32_t bytes = blockAt(offset);
        const std::optional<IoResult> read = reader.finish();
        if (!read || !read->ok || job.cancelled())
            return std::nullopt;
        if (offset + bytes < length)
            reader.start(image, offset + bytes, next.data(), blockAt(offset + bytes));
        sha256.update(current.data(), bytes);
        offset += bytes;
        job.positionBytes = offset;
        std::swap(current, next);
    }
    const std::array<std::uint8_t, 32> digest = sha256.finish();
    if (!sha256.usable())
        return std::nullopt;
    return hexDigest(digest);
}

ImageCheck checkImageFile(const std::string& imagePath, DeviceAccess& access, CopyJob& job)
{
    ImageCheck check;
    const std::optional<std::string> expected = readChecksumFile(imagePath);
    if (!expected || expected->empty()) {
        check.outcome = ImageCheckOutcome::NoChecksumFile;
        return check;
    }
    check.expectedDigest = *expected;
    const std::unique_ptr<DeviceHandle> image = access.openImageFile(imagePath);
    std::uint64_t length = 0;
    if (!image || !image->queryLength(length))
        return check;
    const std::optional<std::string> digest = sha256OfImage(*image, length, job);
    if (!digest) {
        if (job.cancelled())
            check.outcome = ImageCheckOutcome::Cancelled;
        return check;
    }
    check.imageDigest = *digest;
    check.outcome =
        check.imageDigest == check.expectedDigest ? ImageCheckOutcome::Matches : ImageCheckOutcome::DiffersFromChecksum;
    return check;
}

} // namespace orvel
