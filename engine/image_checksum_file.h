#pragma once

#include <optional>
#include <string>

namespace orvel {

// The checksum file beside an image: IMAGE.img.sha256, one line as sha256sum
// writes it (64 hexadecimal digits, two spaces, the image's file name), so
// that `sha256sum -c` run in the image's folder checks the image.
std::string checksumPathFor(const std::string& imagePath);

// Writes the checksum file for `imagePath`; false when it cannot be written.
// It is written whole under another name first and then renamed, so that a
// crash leaves either no checksum file or a complete one.
bool writeChecksumFile(const std::string& imagePath, const std::string& hexDigest);

// The digest the image's checksum file holds (lower case). Nullopt when there
// is no such file; an empty string when it exists but holds no digest.
std::optional<std::string> readChecksumFile(const std::string& imagePath);

// Removes the checksum file of an image that is being written anew.
void removeChecksumFile(const std::string& imagePath);

} // namespace orvel
