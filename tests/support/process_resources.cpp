#include "support/process_resources.h"

#include <malloc.h>

#include <algorithm>
#include <array>
#include <cstdlib>
#include <filesystem>
#include <iterator>
#include <sstream>
#include <system_error>

// Sanitizers that bring their own malloc: GCC says so with macros, Clang with __has_feature.
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
#define ORVEL_SANITIZER_MALLOC 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(thread_sanitizer)
#define ORVEL_SANITIZER_MALLOC 1
#endif
#endif

namespace orvel::test {
namespace {

std::vector<std::string> openFileTargets()
{
    // The listing's own descriptor is among them, every time alike.
    std::vector<std::string> targets;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd", error)) {
        std::error_code unreadable;
        const std::filesystem::path target = std::filesystem::read_symlink(entry.path(), unreadable);
        targets.push_back(unreadable ? entry.path().filename().string() : target.string());
    }
    std::sort(targets.begin(), targets.end());
    return targets;
}

std::size_t threadCount()
{
    std::size_t count = 0;
    std::error_code error;
    for (auto entry = std::filesystem::directory_iterator("/proc/self/task", error);
         entry != std::filesystem::directory_iterator(); entry.increment(error))
        ++count;
    return count;
}

// glibc counts the chunks in a thread's cache of freed small blocks (tcache:
// by default up to 7 of each size up to 1 KiB, some 240 KiB) as in use, so
// what the test itself freed lately would weigh in. Filling the cache to the
// brim before each reading makes it weigh the same every time.
void fillFreeChunkCache()
{
    constexpr std::size_t kSizeStep = 16;
    constexpr std::size_t kSizes = 64;
    constexpr std::size_t kPerSize = 16;  // deeper than the cache
    // Called through a volatile pointer so that the compiler cannot drop the pairs.
    static void* (*volatile const allocate)(std::size_t) = std::malloc;
    std::array<void*, kSizes * kPerSize> chunks{};
    for (std::size_t size = 0; size < kSizes; ++size)
        for (std::size_t k = 0; k < kPerSize; ++k)
            chunks[size * kPerSize + k] = allocate((size + 1) * kSizeStep);
    for (void* chunk : chunks)
        std::free(chunk);
}

std::uint64_t heapInUse()
{
    fillFreeChunkCache();
    // Blocks above the mmap threshold (a 32 MiB copy buffer) are not in the
    // arenas' figure, so both count.
    const struct mallinfo2 info = ::mallinfo2();
    return info.uordblks + info.hblkhd;
}

} // namespace

ProcessResources currentResources()
{
    ProcessResources resources;
    resources.openFiles = openFileTargets();
    resources.threads = threadCount();
    // Last, so that what the other two allocated is in the figure every time.
    if (heapIsMeasured())
        resources.heapBytes = heapInUse();
    return resources;
}

bool heapIsMeasured()
{
#ifdef ORVEL_SANITIZER_MALLOC
    return false;
#else
    return true;
#endif
}

::testing::AssertionResult holdsNoMoreThan(const ProcessResources& now, const ProcessResources& baseline,
                                           std::uint64_t heapSlackBytes)
{
    std::ostringstream growth;
    if (now.openFiles.size() > baseline.openFiles.size()) {
        std::vector<std::string> added;
        std::set_difference(now.openFiles.begin(), now.openFiles.end(), baseline.openFiles.begin(),
                            baseline.openFiles.end(), std::back_inserter(added));
        growth << "open descriptors went from " << baseline.openFiles.size() << " to " << now.openFiles.size()
               << "; new:";
        for (const std::string& target : added)
            growth << " " << target;
        growth << "\n";
    }
    if (now.threads > baseline.threads)
        growth << "threads went from " << baseline.threads << " to " << now.threads << "\n";
    if (heapIsMeasured() && now.heapBytes > baseline.heapBytes + heapSlackBytes)
        growth << "heap in use went from " << baseline.heapBytes << " to " << now.heapBytes << " bytes (+"
               << now.heapBytes - baseline.heapBytes << ", allowed +" << heapSlackBytes << ")\n";
    if (growth.str().empty())
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << growth.str();
}

} // namespace orvel::test
