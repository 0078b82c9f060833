#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <utility>

namespace orvel {

// Direct (unbuffered) transfers need buffers whose address and length are
// multiples of the device's logical block size; 4096 covers every sector size
// the program meets.
inline constexpr std::size_t kDirectIoAlignment = 4096;

// An owned, zero-filled byte buffer aligned for direct I/O.
class AlignedBuffer {
public:
    AlignedBuffer() = default;
    explicit AlignedBuffer(std::size_t size) { allocate(size); }
    AlignedBuffer(const AlignedBuffer&) = delete;
    AlignedBuffer& operator=(const AlignedBuffer&) = delete;
    AlignedBuffer(AlignedBuffer&& other) noexcept
        : data_(std::exchange(other.data_, nullptr)), size_(std::exchange(other.size_, 0)) {}
    AlignedBuffer& operator=(AlignedBuffer&& other) noexcept
    {
        if (this != &other) {
            release();
            data_ = std::exchange(other.data_, nullptr);
            size_ = std::exchange(other.size_, 0);
        }
        return *this;
    }
    ~AlignedBuffer() { release(); }

    // Replaces the contents by a fresh zero-filled buffer of the given size.
    // Returns false (and holds nothing) when the memory cannot be had.
    bool allocate(std::size_t size)
    {
        release();
        if (size == 0)
            return true;
        const std::size_t rounded = (size + kDirectIoAlignment - 1) / kDirectIoAlignment * kDirectIoAlignment;
        data_ = static_cast<std::uint8_t*>(std::aligned_alloc(kDirectIoAlignment, rounded));
        if (data_ == nullptr)
            return false;
        std::memset(data_, 0, rounded);
        size_ = size;
        return true;
    }

    void release()
    {
        std::free(data_);
        data_ = nullptr;
        size_ = 0;
    }

    void zero()
    {
        if (data_ != nullptr)
            std::memset(data_, 0, size_);
    }

    std::uint8_t* data() { return data_; }
    const std::uint8_t* data() const { return data_; }
    std::size_t size() const { return size_; }
    bool empty() const { return data_ == nullptr; }

private:
    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace orvel
