#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <new>
#include <utility>

#ifdef __linux__
#include <sys/mman.h>
#endif

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
        // Aligned new rather than aligned_alloc, which the Windows C runtime lacks.
        data_ = static_cast<std::uint8_t*>(::operator new(rounded, alignmentFor(size), std::nothrow));
        if (data_ == nullptr)
            return false;
#ifdef __linux__
        // A 32 MiB block buffer on 4 KiB pages costs 8192 page faults to fill
        // and 8192 pages to pin for every direct transfer; on 2 MiB pages, 16.
        // Asked for before the buffer is first touched; a refusal only costs speed.
        if (size >= kHugePageSize)
            ::madvise(data_, rounded, MADV_HUGEPAGE);
#endif
        std::memset(data_, 0, rounded);
        size_ = size;
        return true;
    }

    void release()
    {
        ::operator delete(data_, alignmentFor(size_));
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
    // Large buffers start on a huge page boundary, so that the system can back
    // them with huge pages.
    static constexpr std::size_t kHugePageSize = 2u * 1024 * 1024;
    static constexpr std::align_val_t alignmentFor(std::size_t size)
    {
        return std::align_val_t{size >= kHugePageSize ? kHugePageSize : kDirectIoAlignment};
    }

    std::uint8_t* data_ = nullptr;
    std::size_t size_ = 0;
};

} // namespace orvel
