#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace orvel::sysfs {

// Where the kernel's device tree and the device nodes live; tests point them
// at a canned tree.
struct SystemRoots {
    std::string sys = "/sys";
    std::string dev = "/dev";
};

// The whole content of an attribute file; nullopt when it cannot be read.
std::optional<std::string> readAttribute(const std::string& path);
std::optional<std::vector<std::uint8_t>> readBinaryAttribute(const std::string& path);

bool pathExists(const std::string& path);

// The entry names of a folder, sorted; nullopt when it cannot be listed.
std::optional<std::vector<std::string>> listFolder(const std::string& path);

// The path with every symbolic link resolved; empty when it does not resolve.
std::string resolvedPath(const std::string& path);

// The disk sequence number of a whole disk; nullopt without one.
std::optional<std::uint64_t> diskSequence(const SystemRoots& roots, const std::string& kernelName);

// The kernel name of the whole disk whose sequence number is `diskseq`.
std::optional<std::string> findDiskBySequence(const SystemRoots& roots, std::uint64_t diskseq);

} // namespace orvel::sysfs
