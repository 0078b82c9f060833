#pragma once

#include "engine/copy_job.h"
#include "platform/device_access.h"

#include <optional>
#include <string>

namespace orvel {

enum class ImageCheckOutcome {
    Matches,
    DiffersFromChecksum,
    NoChecksumFile,    // or one that holds no digest
    ImageUnreadable,   // missing, not a regular file, or a read failed
    Cancelled,
};

struct ImageCheck {
    ImageCheckOutcome outcome = ImageCheckOutcome::ImageUnreadable;
    std::string expectedDigest;  // from the checksum file
    std::string imageDigest;     // of the image's bytes, when all of them were read
};

// The SHA-256 of bytes [0, length) of an open image in hexadecimal, read
// block by block (the next block is read while the last one is hashed); the
// job carries the progress and a cancel. Nullopt when a read fails or on a
// cancel.
std::optional<std::string> sha256OfImage(DeviceHandle& image, std::uint64_t length, CopyJob& job);

// Reads the whole image (direct where the file system allows it) and
// compares its SHA-256 with its checksum file. The job carries the progress
// (positionBytes of endBytes) and a cancel; the next block is read while the
// last one is hashed.
ImageCheck checkImageFile(const std::string& imagePath, DeviceAccess& access, CopyJob& job);

} // namespace orvel
