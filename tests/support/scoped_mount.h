#pragma once

#include "support/temp_dir.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvel::test {

// Makes an ext4 file system on a device the test made (mkfs.ext4).
bool makeExt4(const std::string& device, std::string& error);

// A mount made by a test in a temp folder of its own; unmounted when the
// object goes, but only while that very mount is still there and nothing is
// mounted over it.
class ScopedMount {
public:
    // Mounts `source` (a device path, or a name for file systems such as
    // tmpfs) with the file system `type`. Null with `error` set on failure.
    static std::unique_ptr<ScopedMount> create(const std::string& source, const std::string& type, std::string& error);

    // Mounts over an existing folder (for tests that stack mounts).
    static std::unique_ptr<ScopedMount> createAt(const std::string& source, const std::string& type,
                                                 const std::string& mountPoint, std::string& error);

    ~ScopedMount();
    ScopedMount(const ScopedMount&) = delete;
    ScopedMount& operator=(const ScopedMount&) = delete;

    const std::string& mountPoint() const { return mountPoint_; }

    // The mount is still in this process's mount table.
    bool isMounted() const;

private:
    ScopedMount() = default;

    std::unique_ptr<TempDir> folder_;
    std::string mountPoint_;
    std::uint64_t mountId_ = 0;
};

} // namespace orvel::test
