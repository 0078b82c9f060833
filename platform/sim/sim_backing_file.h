#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>

namespace orvel {

// The file that holds a simulated drive's bytes, read and written at
// absolute offsets. Plain standard streams, so the simulated platform builds
// wherever the engine does.
class SimBackingFile {
public:
    // Opens an existing file for reading and writing, or for reading only
    // when it cannot be written.
    bool open(const std::filesystem::path& path);
    // Creates the file, or empties an existing one, for reading and writing.
    bool create(const std::filesystem::path& path);

    bool isOpen() const { return stream_.is_open(); }
    bool isWritable() const { return writable_; }

    // Bytes past the end of the file read as zeros, as in a sparse file.
    bool read(std::uint64_t offset, void* buffer, std::size_t bytes);
    bool write(std::uint64_t offset, const void* buffer, std::size_t bytes);
    bool flush();

private:
    std::fstream stream_;
    bool writable_ = false;
};

} // namespace orvel
